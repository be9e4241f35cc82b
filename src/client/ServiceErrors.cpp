#include "client/ServiceErrors.h"

#include <algorithm>
#include <iterator>

namespace modQuorvel {

namespace {

// One row per code: a new code of the service is added here and nowhere else.
constexpr ServiceErrorCode kCodes[] = {
    {kSuccessCode, "success", u"成功", u"", false},
    {u"52001", "TIMEOUT", u"请求超时", u"请重试", true},
    {u"52002", "SYSTEM ERROR", u"翻译服务系统错误", u"请重试", true},
    {kUnknownAppIdCode, "UNAUTHORIZED USER", u"未授权用户：App ID不存在，或未开通翻译服务",
     u"请检查App ID是否正确，以及服务是否已开通", false},
    {kEmptyFieldCode, "PARAM_FROM_TO_OR_Q_EMPTY", u"必填参数为空",
     u"请检查原文、原文语言和译文语言是否为空", false},
    {kWrongSignCode, "Invalid Sign", u"签名错误，App ID与密钥不匹配", u"请检查App ID与密钥是否正确",
     false},
    {kAccessLimitCode, "Invalid Access Limit", u"访问频率受限，超出了账户每秒的请求次数",
     u"请降低调用频率，或进行身份认证后切换为高级版或尊享版", true},
    {u"54004", "Please recharge", u"账户余额已用完", u"请前往管理控制台为账户充值", false},
    {kLongQueryLimitCode, "LONG QUERY TOO FREQUENT", u"长文本请求过于频繁",
     u"请降低长文本的发送频率，3秒后再试", true},
    {u"58000", "INVALID_CLIENT_IP", u"客户端IP非法", u"请检查开发者信息中填写的IP地址是否正确",
     false},
    {kBadLanguageCode, "INVALID_TO_PARAM", u"不支持该语言方向",
     u"请检查译文语言代码是否在支持的语言列表里", false},
    {u"58002", "SERVICE CLOSED", u"翻译服务当前已关闭", u"请前往管理控制台开启服务", false},
    {u"90107", "AUTHENTICATION FAILED", u"认证未通过或未生效",
     u"请前往管理控制台的“我的认证”查看认证进度", false},
};

} // namespace

std::span<const ServiceErrorCode> ServiceErrorCodes() {
    return kCodes;
}

std::optional<ServiceErrorCode> FindServiceErrorCode(QStringView code) {
    const auto* found = std::ranges::find(kCodes, code, &ServiceErrorCode::code);
    if (found == std::end(kCodes))
        return std::nullopt;
    return *found;
}

bool IsRetriedCode(QStringView code) {
    const std::optional<ServiceErrorCode> known = FindServiceErrorCode(code);
    return known && known->retried;
}

std::optional<QString> ServiceErrorAdvice(QStringView code) {
    const std::optional<ServiceErrorCode> known = FindServiceErrorCode(code);
    if (!known || known->remedy.isEmpty())
        return std::nullopt;
    return QStringLiteral("%1。%2。").arg(known->meaning.toString(), known->remedy.toString());
}

} // namespace modQuorvel
