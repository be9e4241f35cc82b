#include "cli/CliOptions.h"

#include "cli/CliTexts.h"
#include "cli/ExitStatus.h"
#include "frontend/Translation.h"
#include "settings/QuorvelSettings.h"

#include <QLatin1StringView>

#include <csignal>

namespace cli {

static_assert(kInterrupted == 128 + SIGINT && kBrokenPipe == 128 + SIGPIPE);

namespace {

using Refusal = std::optional<QString>;

// A flag that only a translation takes.
template <bool TranslateRequest::*Field>
Refusal SetTranslateFlag(OptionValues& values, const QString& /*value*/) {
    values.translate.*Field = true;
    values.translateOptionGiven = true;
    return std::nullopt;
}

template <bool OptionValues::*Field>
Refusal SetFlag(OptionValues& values, const QString& /*value*/) {
    values.*Field = true;
    return std::nullopt;
}

Refusal SetSource(OptionValues& values, const QString& code) {
    values.translate.from = frontend::LanguageCode(code);
    values.translateOptionGiven = true;
    return std::nullopt;
}

Refusal SetTarget(OptionValues& values, const QString& code) {
    values.translate.to = frontend::LanguageCode(code);
    values.translateOptionGiven = true;
    return std::nullopt;
}

// "-" is standard input or output, the stream rather than a file of that name.
Refusal SetInput(OptionValues& values, const QString& file) {
    values.translate.inputFile =
        file == kStandardStream ? std::nullopt : std::optional<QString>(file);
    values.inputChosen = true;
    values.translateOptionGiven = true;
    return std::nullopt;
}

Refusal SetOutput(OptionValues& values, const QString& file) {
    values.translate.outputFile =
        file == kStandardStream ? std::nullopt : std::optional<QString>(file);
    values.translateOptionGiven = true;
    return std::nullopt;
}

Refusal SetRate(OptionValues& values, const QString& rate) {
    values.translate.requestsPerSecond = settings::RequestsPerSecond(rate);
    values.translateOptionGiven = true;
    if (!values.translate.requestsPerSecond)
        return RateRefused(rate);
    return std::nullopt;
}

constexpr CliOption kOptions[] = {
    {"-s", "--source", "代号", "code", "原文语言代号，默认 auto（自动检测）",
     R"(The language of the text; default
.B auto
(detected by the service).)",
     R"(原文的语言；默认为
.B auto
（由服务识别）。)",
     SetSource},
    {"-t", "--target", "代号", "code", "译文语言代号，默认 zh",
     R"(The language of the translation; default
.BR zh .)",
     R"(译文的语言；默认为
.BR zh 。)",
     SetTarget},
    {nullptr, "--https", nullptr, nullptr, "本次使用HTTPS",
     "Send the requests over HTTPS this time.", "本次通过 HTTPS 发送请求。",
     SetFlag<&OptionValues::https>},
    {nullptr, "--http", nullptr, nullptr, "本次使用HTTP（默认按设置文件中的选择）",
     R"(Send the requests over plain HTTP this time. Without either, the choice stored
in the settings file holds.)",
     "本次通过普通 HTTP 发送请求。两者都未给出时，沿用设置文件中保存的选择。",
     SetFlag<&OptionValues::http>},
    {"-i", "--input", "文件", "file", "翻译该UTF-8文本文件；“-”为标准输入",
     R"(Translate this UTF\-8 text file instead of standard input;
.B \-
is standard input.)",
     R"(翻译此 UTF\-8 文本文件，而不是标准输入；
.B \-
表示标准输入。)",
     SetInput},
    {"-o", "--output", "文件", "file",
     "译文写入该文件（“-”为标准输出）；全部译完才替换，\n"
     "失败时保持原样；终端、FIFO、设备等不是普通文件的，\n"
     "直接写入；已收到的译文随到随记入文件旁的续传记录，\n"
     "中断后再次运行同一命令只发送未译的部分",
     R"(Write the translation to this file;
.B \-
is standard output. A regular file is replaced only when the
whole document has been translated; on any failure it is left as it was.
Anything else (a terminal, a FIFO, a device,
.IR /dev/stdout )
is written into as it is and never replaced or removed.
A document read from
.B \-i
into a regular file keeps every answer as it arrives in a journal beside the output file, so that
the same command run again after a stop (an error of the service, Ctrl+C, a
kill, a lost network) sends only what was not answered yet and writes the same
file as one uninterrupted run. The same input, language codes and output file
resume; anything else starts over. At the end, and at a stop, a line on standard
error tells how many characters this run translated and how many the journal
saved.)",
     R"(把译文写入此文件；
.B \-
表示标准输出。普通文件只有在整个文档都译完后才被替换；任何失败都不会改动它。
其他目标（终端、FIFO、设备、
.IR /dev/stdout ）
直接写入，从不替换或删除。
从
.B \-i
读入、写入普通文件的文档，每收到一个回答就记入输出文件旁的续传记录；
中断后（服务的错误、Ctrl+C、被终止、网络断开）再次运行同一命令，只发送尚未回答的部分，
写出的文件与一次不间断的运行相同。输入、语言代码和输出文件都相同时才续传，否则从头开始。
结束时和中断时，标准错误上的一行说明本次翻译了多少字符、续传记录节省了多少字符。)",
     SetOutput},
    {nullptr, "--restart", nullptr, nullptr, "不使用续传记录，从头翻译",
     "Start the document over instead of resuming it; its old journal is replaced.",
     "从头翻译文档而不续传；旧的续传记录被替换。", SetTranslateFlag<&TranslateRequest::restart>},
    {nullptr, "--dry-run", nullptr, nullptr, "只统计请求次数、字符数和所需时间，不发送请求",
     R"(Read the document and show how many requests and characters it would send and
how long that takes at the rate; send nothing. Needs no credentials.)",
     "读取文档，显示它需要发送多少个请求、多少字符，以及按该频率需要多少时间；"
     "不发送任何请求。不需要 APP ID 和密钥。",
     SetTranslateFlag<&TranslateRequest::dryRun>},
    {nullptr, "--qps", "数", "n",
     "账户每秒请求数，0.01到1000（标准版1、高级版10、\n"
     "尊享版100），默认取设置文件[Service]中的QPS，否则为1",
     R"(The account's rate, in requests per second, from 0.01 to 1000 (1 on the standard
tier, 10 on the advanced, 100 on the premium); default the
.B QPS
value under
.B Service
in the settings file, or 1.)",
     R"(账户的频率，即每秒请求数，0.01 到 1000（标准版 1，高级版 10，尊享版 100）；默认为设置文件中
.B Service
节的
.B QPS
值，或 1。)",
     SetRate},
    {"-q", "--quiet", nullptr, nullptr, "不显示进度（进度只在标准错误是终端时显示）",
     R"(Do not show the progress line. The progress line (requests and lines done, the
rate and the time left) is shown only when standard error is a terminal.)",
     "不显示进度行。进度行（已完成的请求和行数、速率、剩余时间）只在标准错误为终端时显示。",
     SetTranslateFlag<&TranslateRequest::quiet>},
    {nullptr, "--configure", nullptr, nullptr,
     "设置百度翻译APP ID和密钥（与窗口中的“设置”相同）；\n不在终端上运行时从标准输入读取两行",
     R"(Ask for the App ID and the secret key and store them in the settings file;
when not run on a terminal, read them as two lines of standard input.)",
     "询问 APP ID 和密钥并保存到设置文件；不在终端上运行时，从标准输入读取两行。",
     SetFlag<&OptionValues::configure>},
    {"-h", "--help", nullptr, nullptr, "显示本帮助",
     "Show the options, the common language codes and the settings file in use.",
     "显示选项、常用语言代码和正在使用的设置文件。", SetFlag<&OptionValues::help>},
    {nullptr, "--version", nullptr, nullptr, "显示版本", "Show the version.", "显示版本。",
     SetFlag<&OptionValues::version>},
    {nullptr, "--", nullptr, nullptr, "选项结束：其后的参数都是文本，以“-”开头的也是",
     R"(End of the options: every later argument is text, also one that starts with
.BR \- .)",
     R"(选项结束：其后的每个参数都是文本，以
.B \-
开头的也是。)",
     nullptr},
};

constexpr ExitStatusEntry kExitStatuses[] = {
    {kSucceeded, "完成（或已保存设置、已显示帮助或版本）",
     "Translated (or the credentials stored, the help or the version shown).",
     "已翻译（或已保存凭据、已显示帮助或版本）。"},
    {kServiceError, "翻译服务返回错误",
     "The service answered with an error; its line is written to standard error.",
     "服务以错误作答；其错误行写到标准错误。"},
    {kUsageError, "用法错误、输入无法读取或不是UTF-8文本，或设置未保存",
     R"(Usage error: wrong arguments, input that is not UTF\-8 text or cannot be read,
or
.B \-\-configure
stored nothing.)",
     R"(用法错误：参数有误，输入不是 UTF\-8 文本或无法读取，或
.B \-\-configure
什么也没有保存。)"},
    {kRequestFailed, "请求失败或回复无法识别", "A request failed, or a reply was not understood.",
     "请求失败，或无法理解回复。"},
    {kNoCredentials, "未设置APP ID或KEY", "No App ID and secret key in the settings file.",
     "设置文件中没有 APP ID 和密钥。"},
    {kOutputFailed, "无法写入输出", "The output could not be written.", "无法写出输出。"},
    {kInterrupted, "被Ctrl+C（SIGINT）中断",
     "Stopped by Ctrl+C (SIGINT); a document goes on where it stopped when the same command runs "
     "again.",
     "被 Ctrl+C（SIGINT）中断；再次运行同一命令，文档从中断处继续。"},
    {kBrokenPipe, "输出管道的读取端已关闭（SIGPIPE）",
     "Standard output is a pipe whose reader has gone (SIGPIPE).",
     "标准输出是一个管道，其读取端已关闭（SIGPIPE）。"},
};

} // namespace

std::span<const CliOption> CliOptions() {
    return kOptions;
}

const CliOption* FindOption(const QString& name) {
    for (const CliOption& option : kOptions)
        if ((option.shortName && name == QLatin1StringView(option.shortName)) ||
            name == QLatin1StringView(option.longName))
            return &option;
    return nullptr;
}

std::span<const ExitStatusEntry> ExitStatuses() {
    return kExitStatuses;
}

} // namespace cli
