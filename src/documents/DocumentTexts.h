#pragma once

#include <QString>

// Every text of the document engine that a person reads, each written here once.
namespace documents {

// The service answered another number of lines than were sent: %1 results, %2 lines.
inline const QString kLineCountMismatch = QStringLiteral("回复无法识别：译文%1行，所发原文%2行");
inline const QString kOutputNotWritten = QStringLiteral("无法写入输出："); // + the reason
inline const QString kInputNotRead = QStringLiteral("无法读取输入：");     // + the reason
inline const QString kInputNotUtf8 = QStringLiteral("输入不是UTF-8文本，未翻译。");
inline const QString kNothingToTranslate = QStringLiteral("没有要翻译的文本。");
inline const QString kCancelled = QStringLiteral("翻译已取消");

// The resume journal's failures, each followed by its path, "：" and the reason.
inline const QString kJournalNotCreated = QStringLiteral("无法创建续传记录");
inline const QString kJournalNotWritten = QStringLiteral("无法写入续传记录");
inline const QString kJournalNotTruncated = QStringLiteral("无法截断续传记录");

// The progress line: "已完成请求 12/40，行 340/1200，9.8次/秒，剩余约 3秒".
inline const QString kProgressLine = QStringLiteral("已完成请求 %1，行 %2，%3次/秒");
inline const QString kProgressTimeLeft = QStringLiteral("，剩余约 %1");
inline const QString kSeconds = QStringLiteral("%1秒");
inline const QString kMinutesSeconds = QStringLiteral("%1分%2秒");
inline const QString kHoursMinutes = QStringLiteral("%1小时%2分");

} // namespace documents
