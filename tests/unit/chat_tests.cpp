// The chat texts, byte for byte. This file is compiled like the program, so
// its literals are code-page-936 bytes too.

#include <gtest/gtest.h>

#include "chat/ChatLaunch.h"

using chat::ChatClient;

namespace {

const std::string kQQPrefix = "tencent://Message/?Menu=YES&Exe=&Uin=";
const std::string kTMPrefix = "tencent://buddy/?Menu=Yes&type=101&peeruin=";

TEST(TrimBlanks, StripsEveryByteUpToBlankAtBothEndsOnly) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"12345678", "12345678"},
        {"  12345678 ", "12345678"},
        {"\t12345678\r\n", "12345678"},
        {std::string("\x01\x1f 1 2\x7f ", 7), "1 2\x7f"},  // 0x7f is above blank and stays
        {" \t\r\n ", ""},
        {std::string("\0\0" "5\0", 4), std::string("5")},
        {" 1\t2 ", "1\t2"},             // inside bytes are untouched
        {" 你好 ", "你好"},              // lead bytes are >= 0x81: nothing is cut
        {"\xa1\xa1", "\xa1\xa1"},       // the full-width blank is a character, not a blank byte
    };
    for (const Case& c : cases) EXPECT_EQ(chat::trimBlanks(c.in), c.out) << "input: " << c.in;
}

TEST(BuildChatUri, IsThePrefixThenTheTrimmedNumber) {
    struct Case {
        ChatClient client;
        std::string typed, uri;
    } cases[] = {
        {ChatClient::QQ, "12345678", kQQPrefix + "12345678"},
        {ChatClient::TM, "12345678", kTMPrefix + "12345678"},
        {ChatClient::QQ, "  12345678 ", kQQPrefix + "12345678"},
        {ChatClient::TM, "\t12345678\n", kTMPrefix + "12345678"},
        {ChatClient::QQ, "abc", kQQPrefix + "abc"},
        {ChatClient::QQ, "松石", kQQPrefix + "松石"},
        {ChatClient::QQ, "1&Exe=x%41 2", kQQPrefix + "1&Exe=x%41 2"},  // no escaping but for quotes
        {ChatClient::QQ, "   ", kQQPrefix},
        {ChatClient::TM, "\r\n", kTMPrefix},
    };
    for (const Case& c : cases) EXPECT_EQ(chat::buildChatUri(c.client, c.typed), c.uri) << c.typed;
}

TEST(BuildChatUri, EscapesQuotesSoTheHandlerGetsOneArgument) {
    EXPECT_EQ(chat::buildChatUri(ChatClient::QQ, R"(1"&Exe=x%41 "2)"), kQQPrefix + "1%22&Exe=x%41 %222");
    EXPECT_EQ(chat::buildChatUri(ChatClient::TM, R"( "" )"), kTMPrefix + "%22%22");
}

TEST(BuildChatUri, PrefixesDifferAsTheClientsExpect) {
    EXPECT_EQ(kQQPrefix.size(), 37u);
    EXPECT_EQ(kTMPrefix.size(), 43u);
    EXPECT_EQ(chat::buildChatUri(ChatClient::QQ, ""), kQQPrefix);
    EXPECT_EQ(chat::buildChatUri(ChatClient::TM, ""), kTMPrefix);
}

TEST(ChatStatusCaption, KeepsTheTextAsTyped) {
    EXPECT_EQ(chat::chatStatusCaption("12345678"), "正在和12345678 聊天");
    EXPECT_EQ(chat::chatStatusCaption("  12345678 "), "正在和  12345678  聊天");
    EXPECT_EQ(chat::chatStatusCaption("\t1\n"), "正在和\t1\n 聊天");
    EXPECT_EQ(chat::chatStatusCaption(""), "正在和 聊天");
}

TEST(MissingNumberMessage, IsFourCrSeparatedLinesOfSixtyBytes) {
    const std::string qq = chat::missingNumberMessage(ChatClient::QQ);
    const std::string tm = chat::missingNumberMessage(ChatClient::TM);
    EXPECT_EQ(qq, "呵呵!朋友\r你没有输入QQ号码\r    请重新输入！\r   要不和谁聊天?");
    EXPECT_EQ(tm, "呵呵!朋友\r你没有输入TM号码\r    请重新输入！\r   要不和谁聊天?");
    for (const std::string& m : {qq, tm}) {
        EXPECT_EQ(m.size(), 60u);
        EXPECT_EQ(m.find('\n'), std::string::npos);
        EXPECT_NE(m.back(), '\r');
    }
    // The full-width exclamation mark in code page 936.
    EXPECT_NE(qq.find("\xa3\xa1"), std::string::npos);
}

}  // namespace
