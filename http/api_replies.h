// How the API answers: JSON bodies, and errors as {"error": text} so the
// pages can show the text as it stands.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace httplib {
struct Response;
}

namespace orv::http {

void JsonReply(httplib::Response& response, int status, const nlohmann::json& body);
void ErrorReply(httplib::Response& response, int status, const std::string& message);

}  // namespace orv::http
