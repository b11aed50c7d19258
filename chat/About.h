#pragma once
// Who made the program and where its forum is. Defined once: the window's
// credit label, its hint and the about box all show these same bytes.

#include <string>
#include <string_view>

namespace chat {

inline constexpr std::string_view kMakerCredit = "松石晓灯 出品";
inline constexpr std::string_view kForumAddress = "https://forum.example.com/";

// The five-line about text, lines joined by single CRs.
std::string aboutText();

}  // namespace chat
