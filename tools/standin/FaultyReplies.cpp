#include "standin/FaultyReplies.h"

namespace standin {

namespace {
constexpr char kHead[] = R"({"from":"en","to":"zh","trans_result":[{"src":"huge","dst":")";
constexpr char kTail[] = R"("}]})";
} // namespace

std::string HugeTranslationReply(std::size_t size) {
    const std::size_t frame = sizeof kHead - 1 + sizeof kTail - 1;
    return kHead + std::string(size > frame ? size - frame : 0, 'x') + kTail;
}

std::string InvalidUtf8Reply() {
    return "{\"from\":\"en\",\"to\":\"zh\",\"trans_result\":[{\"src\":\"apple\",\"dst\":"
           "\"\xE8\x8B\xB9"
           "\xFF\xFE\xC0\xAF\"}]}";
}

std::string InvalidJsonReply() {
    return R"({"from":"en","to":"zh","trans_result":[{"src":"apple","dst":"\u82f9\u679c"},])";
}

std::string NotHttpReply() {
    static constexpr char kBytes[] = "\x89PNG\r\n\x1A\n\0\xFF\xFE"
                                     "garbage\r\n\r\n";
    return {kBytes, sizeof kBytes - 1};
}

} // namespace standin
