#pragma once

#include <QString>

// Why an HTTP exchange failed, for a person, each written here once.
namespace platform {

inline const QString kHostNotFound = QStringLiteral("找不到服务器");
inline const QString kCannotConnect = QStringLiteral("无法连接到服务器");
inline const QString kTimedOut = QStringLiteral("请求超时");
inline const QString kCertificateRefused = QStringLiteral("服务器证书验证失败");
inline const QString kTlsFailed = QStringLiteral("安全连接（TLS）失败");
inline const QString kNothingAnswered = QStringLiteral("服务器未回复即关闭了连接");
inline const QString kConnectionBroken = QStringLiteral("连接中断");
inline const QString kNotHttpReply = QStringLiteral("服务器的回复无法识别（不是HTTP回复）");
inline const QString kInvalidAddress = QStringLiteral("服务地址无效");
inline const QString kRequestCancelled = QStringLiteral("请求已取消");
inline const QString kNetworkError = QStringLiteral("网络错误（代码%1）"); // libcurl's code
inline const QString kReplyTooLarge = QStringLiteral("服务器回复过大");
inline const QString kSetupFailed = QStringLiteral("网络请求设置失败");
inline const QString kCertificateFileUnreadable = QStringLiteral("无法读取证书文件："); // + path
inline const QString kRequestNotCreated = QStringLiteral("无法创建网络请求");

// libcurl, opened at the first request.
inline const QString kLibraryIncomplete = QStringLiteral("网络库不完整："); // + the missing name
inline const QString kLibraryNotLoaded = QStringLiteral("无法加载网络库");  // + its file name
inline const QString kLibraryNotInitialised = QStringLiteral("网络库初始化失败");

} // namespace platform
