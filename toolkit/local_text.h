// Turns a simplified-Chinese text of the reports into the session language
// through the thread's resource loader; "chs" needs no translation. Never
// raises: every failure gives back the Chinese text.
#pragma once

#include <string>
#include <string_view>

namespace orv::toolkit {

std::string GetLocalText(std::string_view sText, std::string_view sLanguageID);

}  // namespace orv::toolkit
