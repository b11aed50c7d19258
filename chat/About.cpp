#include "chat/About.h"

namespace chat {

std::string aboutText() {
    std::string text = "     松石晓灯vod2.0\r  ";
    text.append(27, '-');
    text += "\r    ";
    text += kMakerCredit;
    text += "\r\r ";
    text += kForumAddress;
    return text;
}

}  // namespace chat
