#include "Unit1.h"

#include "chat/About.h"
#include "forms/Shell.h"

TForm1::TForm1(forms::FormHost& app) : Form(app) { load("TFORM1", "Unit1.dfm", published()); }

forms::Published TForm1::published() {
    using forms::bindField;
    auto handler = [this](void (TForm1::*method)(forms::Control&)) {
        return [this, method](forms::Control& sender) { (this->*method)(sender); };
    };
    return {
        {
            {"Panel1", bindField(Panel1)},
            {"GroupBox1", bindField(GroupBox1)},
            {"Edit1", bindField(Edit1)},
            {"Panel2", bindField(Panel2)},
            {"Image1", bindField(Image1)},
            {"BitBtn1", bindField(BitBtn1)},
            {"Label1", bindField(Label1)},
            {"SkinData1", bindField(SkinData1)},
            {"Button1", bindField(Button1)},
            {"Button2", bindField(Button2)},
            {"Button3", bindField(Button3)},
        },
        {
            {"BitBtn1Click", handler(&TForm1::BitBtn1Click)},
            {"Button1Click", handler(&TForm1::Button1Click)},
            {"Button2Click", handler(&TForm1::Button2Click)},
            {"Image1Click", handler(&TForm1::Image1Click)},
            {"Button3Click", handler(&TForm1::Button3Click)},
        },
        {
            {"MakerCredit", std::string(chat::kMakerCredit)},
            {"ForumAddress", std::string(chat::kForumAddress)},
        },
    };
}

void TForm1::launchChat(chat::ChatClient client) {
    // The emptiness test is on the text as typed: a box of blanks still launches.
    if (Edit1->text().empty()) {
        application().showMessageBox(chat::missingNumberMessage(client));
        return;
    }
    const std::string uri = chat::buildChatUri(client, Edit1->text());
    // The caption is set first, so it tells what was asked for whatever the shell then does.
    GroupBox1->setText(chat::chatStatusCaption(Edit1->text()));
    forms::openWithShell(handle(), uri);
}

void TForm1::BitBtn1Click(forms::Control&) { launchChat(chat::ChatClient::QQ); }

void TForm1::Button3Click(forms::Control&) { launchChat(chat::ChatClient::TM); }

void TForm1::Button1Click(forms::Control&) { Edit1->setText({}); }

void TForm1::Button2Click(forms::Control&) { application().showMessageBox(chat::aboutText()); }

void TForm1::Image1Click(forms::Control&) { forms::openWithShell(handle(), chat::kForumAddress); }
