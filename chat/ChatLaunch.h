#pragma once
// The text work behind the two chat buttons: which URI each client is opened
// with, how the typed number is cleaned, and what the window says about it.
// Texts are byte strings in code page 936; nothing here knows about windows.

#include <string>
#include <string_view>

namespace chat {

enum class ChatClient { QQ, TM };

// Strips every byte of value 0x20 or less (blanks and all control characters)
// from both ends. Lead bytes of multi-byte characters are 0x81 or higher, so
// no character is ever cut in half.
std::string trimBlanks(std::string_view text);

// The client's launch URI for the typed number: the prefix, then the trimmed
// number. A '"' becomes "%22" because the registered handler receives the URI
// inside a quoted "%1" argument, and a bare quote would end that argument and
// smuggle further arguments onto the client's command line. Nothing else is
// escaped or checked: the client decides what a valid number is.
std::string buildChatUri(ChatClient client, std::string_view typed);

// "正在和" + the number exactly as typed + " 聊天".
std::string chatStatusCaption(std::string_view typed);

// The four-line answer to an empty number box, lines joined by single CRs.
std::string missingNumberMessage(ChatClient client);

}  // namespace chat
