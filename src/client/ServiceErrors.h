#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace modQuorvel {

// One of the service's error_code values, as its documentation describes it.
struct ServiceErrorCode {
    QStringView code;    // as the service writes it: a string of digits
    const char* message; // the error_msg that comes with it
    QStringView meaning; // what it means, for the user
    QStringView remedy;  // what the user can do about it; empty for success
    bool retried;        // a passing trouble of the service: the same request may succeed later
};

// The codes the program acts on by name; every code the service documents is in
// ServiceErrorCodes().
inline constexpr QStringView kSuccessCode = u"52000";
inline constexpr QStringView kUnknownAppIdCode = u"52003";
inline constexpr QStringView kEmptyFieldCode = u"54000";
inline constexpr QStringView kWrongSignCode = u"54001";
inline constexpr QStringView kAccessLimitCode = u"54003";    // too many requests a second
inline constexpr QStringView kLongQueryLimitCode = u"54005"; // long texts too often: wait 3 s
inline constexpr QStringView kBadLanguageCode = u"58001";

// Every code the service documents, success included.
std::span<const ServiceErrorCode> ServiceErrorCodes();

// The code's entry; nothing for a code the service does not document.
std::optional<ServiceErrorCode> FindServiceErrorCode(QStringView code);

// Whether a request refused with `code` is worth sending again.
bool IsRetriedCode(QStringView code);

// What a person is told beside the service's error line: the meaning and the remedy, as one
// sentence ("签名错误，App ID与密钥不匹配。请检查App ID与密钥是否正确。"); nothing for success and
// for a code the service does not document.
std::optional<QString> ServiceErrorAdvice(QStringView code);

} // namespace modQuorvel
