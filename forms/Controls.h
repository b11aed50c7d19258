#pragma once
// The controls a form is built from. Each is a real child window, so the
// keyboard, accessibility tools and test programs see it. Stock controls
// (edit, button, group box, static) get our window procedure in front of
// their own; our own kinds (panel, image) have a window class whose procedure
// picks up the wrapper at WM_NCCREATE. Either way every message reaches one
// virtual handleMessage(), and a container passes WM_COMMAND and WM_CTLCOLOR*
// back to the child that sent them through reflect().
//
// The wrapper is found through GWLP_USERDATA, not a window property or
// comctl32's subclass list: under Wine each of those is a round trip to the
// server on every message, which showed as a third of the start-up time.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Handles.h"
#include "forms/LayoutArgs.h"

namespace forms {

class Form;
class Picture;
class Skin;

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND handle() const { return hwnd_; }
    const std::string& name() const { return name_; }
    Form& form() const { return form_; }

    std::string text() const;
    void setText(std::string_view text);

    // The wrapper of one of our windows, or null.
    static Control* fromHandle(HWND hwnd);

    // Fired by a click; set by the layout's OnClick binding.
    std::function<void(Control& sender)> onClick;

    bool takesFocus() const { return takesFocus_; }

    // Hands this control's mouse messages to a tooltip, which then shows its hint.
    void relayMouseTo(HWND tooltip) { tooltip_ = tooltip; }

    // What this control's children paint their background with: by default the
    // parent's, for containers their own face.
    virtual COLORREF faceColor() const;
    virtual HBRUSH faceBrush() const;

protected:
    Control(Form& form, std::string name);

    // Creates a stock control and hooks it.
    void createStock(const char* windowClass, DWORD style, DWORD exStyle, const Bounds& bounds, HWND parent,
                     std::string_view text, int id);
    // Creates a window of one of our own classes (registered on first use).
    void createOwn(const char* windowClass, DWORD style, DWORD exStyle, const Bounds& bounds, HWND parent,
                   std::string_view text, HCURSOR cursor);

    // Return a result to stop default processing.
    virtual std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // A notification this control sent to its parent, passed back to it.
    virtual std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp);

    // For containers: hands child notifications back to the child.
    static std::optional<LRESULT> reflectToChild(UINT msg, WPARAM wp, LPARAM lp);

    void fireClick();
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);

    bool takesFocus_ = false;
    // The skin this control is drawn with, or null for the standard look.
    const Skin* skin_ = nullptr;

private:
    static LRESULT CALLBACK stockProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ownClassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void attach(HWND hwnd);
    void detach();

    Form& form_;
    std::string name_;
    HWND hwnd_ = nullptr;
    WNDPROC stockDefault_ = nullptr;  // a stock control's own procedure
    HWND tooltip_ = nullptr;
};

class Panel : public Control {
public:
    Panel(Form& form, const PanelArgs& args, HWND parent, const Bounds& scaled, HFONT font);
    Align align() const { return align_; }
    COLORREF faceColor() const override;
    HBRUSH faceBrush() const override;

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paint(HDC dc);
    Bevel inner_, outer_;
    Align align_;
    Color color_;
    HFONT font_;
    UniqueBrush ownBrush_;  // for a colour that has no system brush
};

class GroupBox : public Control {
public:
    GroupBox(Form& form, const GroupBoxArgs& args, HWND parent, const Bounds& scaled, HFONT font);

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paintSkinned(HDC dc);
    HFONT font_;
};

class Edit : public Control {
public:
    Edit(Form& form, const EditArgs& args, HWND parent, const Bounds& scaled, HFONT font, int id);
    void selectAll();

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paintBorder();
};

class Button : public Control {
public:
    Button(Form& form, const ButtonArgs& args, HWND parent, const Bounds& scaled, HFONT font, int id);
    void click() { fireClick(); }

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void drawSkinned(const DRAWITEMSTRUCT& item) const;
    bool hot_ = false;
};

// The designer's bitmap button; shown here without a picture, as a push button.
class BitBtn : public Button {
public:
    using Button::Button;
};

class Label : public Control {
public:
    Label(Form& form, const LabelArgs& args, HWND parent, const Bounds& scaled, HFONT font);

protected:
    std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    COLORREF textColor_;
};

// Something an Image can show and animate: draws itself at a time, and says
// when it next changes.
class Picture {
public:
    virtual ~Picture() = default;
    // Draws the frame for `elapsedMs` since the picture was first shown into `target`,
    // which is the picture's own size except where the form is scaled for the screen.
    virtual void draw(HDC dc, const RECT& target, unsigned elapsedMs) const = 0;
    // Whether the frame for `elapsedMs` covers every pixel, so nothing beneath needs painting.
    virtual bool opaqueAt(unsigned elapsedMs) const = 0;
    // Milliseconds from `elapsedMs` until the picture looks different; 0 if never.
    virtual unsigned nextChangeMs(unsigned elapsedMs) const = 0;
};

class Image : public Control {
public:
    Image(Form& form, const ImageArgs& args, HWND parent, const Bounds& scaled, std::unique_ptr<Picture> picture);
    ~Image() override;

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paint(HDC dc);
    std::unique_ptr<Picture> picture_;
    DWORD startTick_ = 0;
    bool started_ = false;
    bool pressed_ = false;
};

// Draws a colour given as a layout Color.
COLORREF toColorRef(const Color& c);

}  // namespace forms
