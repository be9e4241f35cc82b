#include "client/modQuorvel.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace modQuorvel;

namespace {

QString ReasonOfFailure(const QByteArray& body, long status) {
    try {
        InterpretReply(body, status);
    } catch (const TranslateFailure& failure) {
        return failure.reason();
    }
    return QStringLiteral("(no failure)");
}

} // namespace

// ---- Request composition ----

TEST(MakeSign, PublishedTestVector) {
    EXPECT_EQ(MakeSign(QStringLiteral("2015063000000001"), QStringLiteral("apple"),
                       QStringLiteral("1435660288"), QStringLiteral("12345678")),
              QStringLiteral("f89f9594663708c1605f3d736d01d2d4"));
}

TEST(MakeSign, CoversTheRawUtf8BytesOfTheJoinedText) {
    const auto md5 = [](const QByteArray& bytes) {
        return QString::fromLatin1(
            QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
    };
    EXPECT_EQ(MakeSign(QStringLiteral("id"), QString::fromUtf8("a b&中\r\n\U0001F600"),
                       QStringLiteral("025"), QStringLiteral("key")),
              md5("ida b&\xE4\xB8\xAD\r\n\xF0\x9F\x98\x80"
                  "025key"));
    // A lone surrogate is signed as U+FFFD, the same as UTF8Encode writes it.
    EXPECT_EQ(MakeSign(QStringLiteral("id"), QString(QChar(0xD83D)), QStringLiteral("0"),
                       QStringLiteral("k")),
              md5("id\xEF\xBF\xBD"
                  "0k"));
    // Empty source text: App ID, salt and key alone.
    EXPECT_EQ(MakeSign(QStringLiteral("id"), QString(), QStringLiteral("07"), QStringLiteral("k")),
              md5("id07k"));
}

TEST(MakeSalt, IsDigitsOnlyAndFreshFromCallToCall) {
    const QRegularExpression shape(QStringLiteral("^0[0-9]*$"));
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i) {
        const QString salt = MakeSalt();
        EXPECT_TRUE(shape.match(salt).hasMatch()) << salt.toStdString();
        seen.insert(salt);
    }
    EXPECT_GT(seen.size(), 1);
}

TEST(ComposeBody, SixFieldsInOrderOnlyQEncoded) {
    EXPECT_EQ(ComposeBody(QString::fromUtf8("a b&c\r\n中 100%\U0001F600"), QStringLiteral("auto"),
                          QStringLiteral("zh"), QStringLiteral("2015063000000001"),
                          QStringLiteral("025"), QStringLiteral("0123abcdef")),
              QByteArray("q=a+b%26c\r\n%E4%B8%AD+100%%F0%9F%98%80&appid=2015063000000001"
                         "&salt=025&from=auto&to=zh&sign=0123abcdef"));
    EXPECT_EQ(ComposeBody(QString(), QStringLiteral("en"), QStringLiteral("zh"),
                          QStringLiteral("id"), QStringLiteral("0"), QStringLiteral("s")),
              QByteArray("q=&appid=id&salt=0&from=en&to=zh&sign=s"));
}

// ---- Reply interpretation ----

TEST(InterpretReply, JoinsEveryDstValueWithLineBreaks) {
    const TranslateReply reply =
        InterpretReply(R"({"from":"zh","to":"en","trans_result":[{"src":"a","dst":"\u4f60\u597d"},)"
                       R"({"src":"b","dst":"\u4e16\u754c"}]})",
                       200);
    EXPECT_EQ(reply.text, QStringLiteral("你好\r\n世界"));
    EXPECT_FALSE(reply.serviceError);

    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"x"}]})", 200).text, QStringLiteral("x"));
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"x"},{"dst":""},{"dst":"y"}]})", 200).text,
              QStringLiteral("x\r\n\r\ny"));
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":""},{"dst":"x"}]})", 200).text,
              QStringLiteral("\r\nx"));
    EXPECT_EQ(InterpretReply(R"({"from":"en","to":"zh","trans_result":[]})", 200).text, QString());
}

TEST(InterpretReply, DecodesEveryJsonEscape) {
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"a\"b\\c\/d\ne\tf"}]})", 200).text,
              QStringLiteral("a\"b\\c/d\ne\tf"));
    // A run of escapes, a surrogate pair, and a literal backslash before "u".
    EXPECT_EQ(InterpretReply(
                  R"({"trans_result":[{"dst":"\u5bf9\u4e0d\u8d77 \ud83d\ude00 \\u4e2d"}]})", 200)
                  .text,
              QString::fromUtf8("对不起 \U0001F600 \\u4e2d"));
    // A value ending in an escaped backslash does not run into the next one.
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"a\\"},{"dst":"b"}]})", 200).text,
              QStringLiteral("a\\\r\nb"));
}

TEST(InterpretReply, ErrorCodeGivesTheErrorLine) {
    const TranslateReply reply =
        InterpretReply(R"({"error_code":"54001","error_msg":"Invalid Sign"})", 200);
    EXPECT_EQ(reply.text, QStringLiteral("错误代码:54001,说明:Invalid Sign"));
    EXPECT_TRUE(reply.serviceError);

    EXPECT_EQ(InterpretReply(R"({"error_code":123,"error_msg":"abc"})", 200).text,
              QStringLiteral("错误代码:123,说明:abc"));
    EXPECT_EQ(InterpretReply(R"({"error_code":"52003"})", 200).text,
              QStringLiteral("错误代码:52003,说明:"));
    EXPECT_EQ(InterpretReply(R"({"error_code":"58001","error_msg":"a\/b \u4e2d"})", 200).text,
              QStringLiteral("错误代码:58001,说明:a/b 中"));
}

TEST(InterpretReply, ErrorCodeInsideATranslationIsJustText) {
    const TranslateReply reply =
        InterpretReply(R"({"trans_result":[{"src":"error_code","dst":"\"error_code\""}]})", 200);
    EXPECT_EQ(reply.text, QStringLiteral("\"error_code\""));
    EXPECT_FALSE(reply.serviceError);
}

TEST(InterpretReply, HttpStatusIsNotLookedAtForAJsonObject) {
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"ok"}]})", 500).text, QStringLiteral("ok"));
    EXPECT_EQ(InterpretReply(R"({"error_code":"52001","error_msg":"TIMEOUT"})", 503).text,
              QStringLiteral("错误代码:52001,说明:TIMEOUT"));
}

TEST(InterpretReply, UnrecognisedRepliesFailWithTheHttpStatus) {
    EXPECT_EQ(ReasonOfFailure("<html>Bad Gateway</html>", 502),
              QStringLiteral("无法识别的服务回复(HTTP 502)"));
    EXPECT_EQ(ReasonOfFailure("", 200), QStringLiteral("无法识别的服务回复(HTTP 200)"));
    EXPECT_EQ(ReasonOfFailure(R"([{"dst":"x"}])", 200),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
    EXPECT_EQ(ReasonOfFailure(R"({"from":"en","to":"zh"})", 200),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
    EXPECT_EQ(ReasonOfFailure(R"({"trans_result":"x"})", 302),
              QStringLiteral("无法识别的服务回复(HTTP 302)"));
    EXPECT_EQ(ReasonOfFailure(R"({"trans_result":[{"dst":"unterminated)", 200),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
}
