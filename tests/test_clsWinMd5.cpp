#include "digest/clsWinMd5.h"
#include "platform/Md5.h"

#include "support/FileBytes.h"
#include "support/QtPrinters.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

namespace {

QString ReferenceMd5(const QByteArray& bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper());
}

QByteArray PatternBytes(qsizetype count) {
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i * 131 + i / 251);
    return bytes;
}

} // namespace

// Files of 512 MiB and more count beyond 2^32 bits.
TEST(Md5Context, FirstCounterCountsBitsAndCarriesIntoTheSecond) {
    platform::MD5_CTX context{};
    const unsigned char abc[] = {'a', 'b', 'c'};
    platform::MD5Init(&context);
    platform::MD5Update(&context, abc, 3);
    EXPECT_EQ(context.i[0], 24u);
    EXPECT_EQ(context.i[1], 0u);
    context.i[0] = 0xFFFFFFF8u;
    platform::MD5Update(&context, abc, 2);
    EXPECT_EQ(context.i[0], 8u);
    EXPECT_EQ(context.i[1], 1u);
}

TEST(Md5Context, PiecewiseUpdatesGiveTheDigestOfTheWhole) {
    const QByteArray data = PatternBytes(1000);
    for (int piece : {1, 7, 55, 56, 63, 64, 65, 200}) {
        platform::MD5_CTX context{};
        platform::MD5Init(&context);
        for (qsizetype at = 0; at < data.size(); at += piece)
            platform::MD5Update(
                &context, reinterpret_cast<const unsigned char*>(data.constData() + at),
                static_cast<unsigned int>(std::min<qsizetype>(piece, data.size() - at)));
        platform::MD5Final(&context);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(context.digest), 16).toHex().toUpper(),
                  ReferenceMd5(data))
            << piece;
    }
}

// In upper case (RFC 1321 test suite); a Chinese text hashes its code page 936 bytes.
TEST(clsWinMd5, TextsHashTheirCodePage936Bytes) {
    for (const auto& [text, digest] : {
             std::pair("", "D41D8CD98F00B204E9800998ECF8427E"),
             std::pair("abc", "900150983CD24FB0D6963F7D28E17F72"),
             std::pair("中文",
                       "BCCE109775E8E1972E9F5FCDA3E12895"), // printf '\xD6\xD0\xCE\xC4' | md5sum
         })
        EXPECT_EQ(clsWinMd5().GetMD5String(QString::fromUtf8(text)), QLatin1String(digest)) << text;
}

TEST(clsWinMd5, BytesHashTheFirstSizeBytesAndNeverMore) {
    const QByteArray buffer("\x05\x06\x07", 3);
    clsWinMd5 md5;
    // -1 means the whole array; other sizes outside it are clamped to it.
    for (const auto& [size, hashed] : {std::pair(-1, 3), std::pair(2, 2), std::pair(0, 0),
                                       std::pair(1000, 3), std::pair(-7, 0)}) {
        EXPECT_EQ(md5.GetMD5Bytes(buffer, size), ReferenceMd5(buffer.left(hashed))) << size;
        EXPECT_EQ(md5.GetMD5Bytes(QByteArray(), size), ReferenceMd5({})) << size;
    }
}

TEST(clsWinMd5, FilesAreHashedWholeAcrossChunkBoundaries) {
    QTemporaryDir dir;
    clsWinMd5 md5;
    for (qsizetype size : {0, 1, 524288, 1048577}) {
        const QByteArray data = PatternBytes(size);
        const QString path = dir.filePath(QStringLiteral("data%1.bin").arg(size));
        ASSERT_TRUE(testsupport::writeFileBytes(path, data));
        EXPECT_EQ(md5.GetMD5File(path), ReferenceMd5(data)) << size;
    }
    // A missing or hidden file, a device or a folder gives an empty text.
    ASSERT_TRUE(testsupport::writeFileBytes(dir.filePath(".hidden"), "abc"));
    for (const QString& path : {dir.filePath("missing.bin"), dir.filePath(".hidden"), dir.path(),
                                QStringLiteral("/dev/null")})
        EXPECT_EQ(md5.GetMD5File(path), QString()) << path.toStdString();
}

// Hashing 2 GiB takes several seconds, so it runs only when asked for.
TEST(clsWinMd5, FileOfTwoGibibytesAndMoreIsHashedWhole) {
    if (qEnvironmentVariableIsEmpty("QUORVEL_LARGE_FILE_TESTS"))
        GTEST_SKIP() << "set QUORVEL_LARGE_FILE_TESTS=1 to hash a 2 GiB file";
    QTemporaryDir dir;
    QFile file(dir.filePath("large.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize((qint64(1) << 31) + 1)); // zeros
    file.close();
    // md5sum of 2147483649 zero bytes.
    EXPECT_EQ(clsWinMd5().GetMD5File(file.fileName()),
              QStringLiteral("97CDD4BB45C3D5D652C0079901FB4EEC"));
}
