#pragma once
// The connection settings (连接): how the crawl's requests reach the site. Their readers, the
// problem texts of what the command and the page refuse, and the request options they make.
#include <cstdint>
#include <string>

#include "settings/SetupPageRules.h"
#include "web/ConnectionCheck.h"
#include "web/http_options.h"

class CSetupManager;

inline constexpr int32_t kMinTimeoutSeconds = 1;
inline constexpr int32_t kMaxTimeoutSeconds = 300;
inline constexpr int32_t kMaxRequestRate = 1000;  // requests a second
inline constexpr int32_t kMaxCredentialsBytes = 1024;
inline constexpr int32_t kMaxProxyBytes = 2048;
inline constexpr NumberRange kConnectTimeoutRange{"连接超时(秒)", kMinTimeoutSeconds, kMaxTimeoutSeconds};
inline constexpr NumberRange kTotalTimeoutRange{"请求超时(秒)", kMinTimeoutSeconds, kMaxTimeoutSeconds};
inline constexpr NumberRange kMaxRateRange{"每秒最多请求数", 0, kMaxRequestRate};

// "USER" or "USER:PASSWORD", kept as given; refused when the user name is empty or the text
// holds a control character.
bool ReadCredentials(const std::string& text, std::string& value, std::string& problem);
// Header lines one a line, each as CheckHeaderLine takes it.
bool ReadHeaderList(const std::string& text, std::string& value, std::string& problem);
// A proxy address as CheckProxyAddress takes it, white space trimmed; empty is none.
bool ReadProxy(const std::string& text, std::string& value, std::string& problem);

// The credentials as stored: the password only when the user asked for it to be remembered.
std::string StoredCredentials(const std::string& credentials, bool rememberPassword);
// Whether the credentials name a user but no password (the window asks for it).
bool NeedsPassword(const std::string& credentials);

// The request options the connection settings give.
http_options HttpOptionsOf(const CSetupManager& setup);

// The problem in English, as the command says it; the password never appears in it.
std::string ConnectionProblemText(const ConnectionProblem& problem);
