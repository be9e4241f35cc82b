#pragma once

#include <QString>

// Every text of the client that a person reads, each written here once.
namespace modQuorvel {

// The service's own error, shown as the window has always shown it: "错误代码:54001,说明:...".
inline const QString kServiceErrorCodeLabel = QStringLiteral("错误代码:");
inline const QString kServiceErrorMessageLabel = QStringLiteral(",说明:");

// The reason given for a reply that is not one the service gives.
inline const QString kUnrecognisedReply = QStringLiteral("回复无法识别");
// The reason given when the program itself failed (out of memory, say), not the exchange.
inline const QString kInternalError = QStringLiteral("翻译失败：程序内部错误");
inline const QString kRequestFailed = QStringLiteral("请求失败："); // + platform's reason
inline const QString kHttpStatus = QStringLiteral("服务器返回HTTP状态%1");
inline const QString kPlainHttpsEndpoint = QStringLiteral(
    "设置文件中的HTTPS服务地址不是https://地址，为免明文传输，请求未发送："); // + the address

} // namespace modQuorvel
