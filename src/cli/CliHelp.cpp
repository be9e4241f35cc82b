#include "cli/CliHelp.h"

#include "frontend/UserTexts.h"

#include <QStringList>

namespace cli {

QString UsageText() {
    return QStringLiteral("用法：quorvel-cli [-s 代号] [-t 代号] [--https | --http] [--qps 数] "
                          "[--quiet]\n"
                          "                   [--restart] [--dry-run] [-i 文件] [-o 文件] "
                          "[文本...]\n"
                          "      quorvel-cli --configure");
}

QString HelpText(const QString& settingsPath) {
    const QStringList lines = {
        UsageText(),
        QString(),
        QStringLiteral("通过百度通用翻译API翻译文本：给出的文本各词以空格连接；未给出文本时"),
        QStringLiteral("翻译-i指定的文件或标准输入的全部内容。译文以UTF-8输出到标准输出或-o指定的"),
        QStringLiteral("文件，行数与原文相同。超过一次请求（6000字节）的文档按行分成多次请求，"),
        QStringLiteral("按账户的每秒请求数同时发送，遇到频率限制等可重试的错误时自动重试。"),
        QString(),
        QStringLiteral("选项："),
        QStringLiteral("  -s, --source 代号   原文语言代号，默认 auto（自动检测）"),
        QStringLiteral("  -t, --target 代号   译文语言代号，默认 zh"),
        QStringLiteral("      --https         本次使用HTTPS"),
        QStringLiteral("      --http          本次使用HTTP（默认按设置文件中的选择）"),
        QStringLiteral("  -i, --input 文件    翻译该UTF-8文本文件"),
        QStringLiteral("  -o, --output 文件   译文写入该文件；全部译完才替换，失败时保持原样；"),
        QStringLiteral("                      终端、FIFO、设备等不是普通文件的，直接写入；"),
        QStringLiteral("                      已收到的译文随到随记入文件旁的续传记录，中断后"),
        QStringLiteral("                      再次运行同一命令只发送未译的部分"),
        QStringLiteral("      --restart       不使用续传记录，从头翻译"),
        QStringLiteral("      --dry-run       只统计请求次数、字符数和所需时间，不发送请求"),
        QStringLiteral("      --qps 数        账户每秒请求数，0.01到1000（标准版1、高级版10、"),
        QStringLiteral(
            "                      尊享版100），默认取设置文件[Service]中的QPS，否则为1"),
        QStringLiteral("  -q, --quiet         不显示进度（进度只在标准错误是终端时显示）"),
        QStringLiteral("      --configure     设置百度翻译APP ID和密钥（与窗口中的“设置”相同）；"),
        QStringLiteral("                      不在终端上运行时从标准输入读取两行"),
        QStringLiteral("  -h, --help          显示本帮助"),
        QStringLiteral("      --version       显示版本"),
        QString(),
        QStringLiteral("常见语言代号：auto 自动检测、zh 中文、en 英语、yue 粤语、wyw 文言文、"),
        QStringLiteral(
            "jp 日语、kor 韩语、fra 法语、spa 西班牙语、ru 俄语、de 德语、cht 繁体中文。"),
        QString(),
        QStringLiteral("退出状态：0 完成；1 翻译服务返回错误；2 用法错误或设置未保存；"),
        QStringLiteral("          3 请求失败或回复无法识别；4 未设置APP ID或KEY；"),
        QStringLiteral("          5 无法写入输出。"),
        QString(),
        QStringLiteral("设置文件（与窗口共用）：") + settingsPath,
        QStringLiteral("APP ID和密钥请前往") + frontend::kDeveloperPortal +
            QStringLiteral("注册获得。"),
    };
    return lines.join(u'\n');
}

QString VersionText() {
    return QStringLiteral("quorvel-cli " QUORVEL_VERSION);
}

} // namespace cli
