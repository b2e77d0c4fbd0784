#pragma once
// The window's words for connection settings it refuses and for the questions it asks before
// a crawl (UTF-8). The password is never part of any of them.
#include <string>

#include "web/ConnectionCheck.h"

std::string ConnectionProblemMessage(const ConnectionProblem& problem);
// Asked before each crawl that accepts any certificate.
std::string InsecureQuestion(const std::string& address);
// The password question's text for the user of the site at host.
std::string PasswordPrompt(const std::string& user, const std::string& host);
