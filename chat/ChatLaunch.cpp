#include "chat/ChatLaunch.h"

namespace chat {
namespace {

struct ClientTexts {
    std::string_view uriPrefix;
    std::string_view word;  // how the missing-number message names the client
};

constexpr ClientTexts textsOf(ChatClient client) {
    switch (client) {
    case ChatClient::TM:
        return {"tencent://buddy/?Menu=Yes&type=101&peeruin=", "TM"};
    case ChatClient::QQ:
        break;
    }
    return {"tencent://Message/?Menu=YES&Exe=&Uin=", "QQ"};
}

constexpr bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

std::string trimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

std::string buildChatUri(ChatClient client, std::string_view typed) {
    const std::string number = trimBlanks(typed);
    std::string uri(textsOf(client).uriPrefix);
    uri.reserve(uri.size() + number.size());
    for (char c : number) {
        if (c == '"')
            uri += "%22";
        else
            uri += c;
    }
    return uri;
}

std::string chatStatusCaption(std::string_view typed) {
    std::string caption = "正在和";
    caption += typed;
    caption += " 聊天";
    return caption;
}

std::string missingNumberMessage(ChatClient client) {
    std::string message = "呵呵!朋友\r你没有输入";
    message += textsOf(client).word;
    message += "号码\r    请重新输入！\r   要不和谁聊天?";
    return message;
}

}  // namespace chat
