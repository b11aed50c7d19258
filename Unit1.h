#pragma once
// The main window: its components, bound by name from the stored layout
// Unit1.dfm, and the five click handlers the layout refers to.

#include "chat/ChatLaunch.h"
#include "forms/Form.h"
#include "forms/SkinData.h"

class TForm1 : public forms::Form {
public:
    explicit TForm1(forms::FormHost& app);

    forms::Panel* Panel1 = nullptr;
    forms::GroupBox* GroupBox1 = nullptr;
    forms::Edit* Edit1 = nullptr;
    forms::Panel* Panel2 = nullptr;
    forms::Image* Image1 = nullptr;
    forms::BitBtn* BitBtn1 = nullptr;
    forms::Label* Label1 = nullptr;
    forms::SkinData* SkinData1 = nullptr;
    forms::Button* Button1 = nullptr;
    forms::Button* Button2 = nullptr;
    forms::Button* Button3 = nullptr;

    void BitBtn1Click(forms::Control& Sender);
    void Button1Click(forms::Control& Sender);
    void Button2Click(forms::Control& Sender);
    void Image1Click(forms::Control& Sender);
    void Button3Click(forms::Control& Sender);

private:
    forms::Published published();
    void launchChat(chat::ChatClient client);
};
