#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace standin {

// An error the service answers with: {"error_code":"<code>","error_msg":"<message>"}.
struct ServiceError {
    std::string code;
    std::string message;
};

ServiceError EmptyFieldError();   // 54000 PARAM_FROM_TO_OR_Q_EMPTY
ServiceError UnknownAppIdError(); // 52003 UNAUTHORIZED USER
ServiceError WrongSignError();    // 54001 Invalid Sign
ServiceError BadLanguageError();  // 58001 INVALID_TO_PARAM
ServiceError RateLimitError();    // 54003 Invalid Access Limit
// The service's error of that code with its message ("" for a code it does not have).
ServiceError KnownError(const std::string& code);

// Checks one set of decoded form fields against the accounts (App ID -> secret key), in the
// service's order: an empty q, from, to, appid, salt or sign; an unknown App ID; a sign that is
// not the lowercase hex MD5 of appid + q + salt + key (q as decoded); a target of "auto" or a code
// outside the service's list. The rate limit is the server's business and not checked here.
std::optional<ServiceError>
CheckTranslateRequest(const std::map<std::string, std::string>& fields,
                      const std::map<std::string, std::string>& accounts);

// The compact JSON body of an error reply.
std::string ErrorReply(const ServiceError& error);

// The compact JSON body of a success reply to fields that passed CheckTranslateRequest: one
// trans_result element per line of q (split at LF, a CR before it dropped, empty lines kept);
// the last line's element left out when `dropLastResult`.
std::string TranslationReply(const std::map<std::string, std::string>& fields,
                             bool dropLastResult = false);

// The service's answer to one set of decoded form fields, without any networking: the JSON body.
// `admit`, when given, tells whether the App ID is still within its rate; past it the answer is
// 54003. With `dropLastResult` the last line's result is left out.
std::string AnswerTranslateRequest(const std::map<std::string, std::string>& fields,
                                   const std::map<std::string, std::string>& accounts,
                                   const std::function<bool(const std::string&)>& admit = {},
                                   bool dropLastResult = false);

} // namespace standin
