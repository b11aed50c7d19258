#pragma once
// The controls a form is built from. Each is a real child window, so the
// keyboard, accessibility tools and test programs see it. Stock controls
// (edit, button, group box, static) get our window procedure in front of
// their own; our own kinds (panel, image) have a window class whose procedure
// picks up the wrapper at WM_NCCREATE. Either way every message reaches one
// virtual handleMessage(), and a container passes WM_COMMAND and WM_CTLCOLOR*
// back to the child that sent them through reflect().
//
// A window's own procedure finds its wrapper through GWLP_USERDATA, which
// belongs to whoever creates the window: not a window property or comctl32's
// subclass list, which under Wine cost a round trip to the server on every
// message. Every other lookup (a container finding the child that notified
// it, the form finding the focused control) goes through the form's
// WindowMap, so a control keeps working when other code subclasses it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Context.h"
#include "forms/Handles.h"
#include "forms/LayoutArgs.h"

namespace forms {

class Picture;
class Skin;

// Where and how one control is put: its container, its place (already scaled for the
// screen), its font and look, and the ID its notifications carry.
struct Site {
    Control* parent = nullptr;
    HWND parentWindow = nullptr;
    Bounds bounds;
    HFONT font = nullptr;
    const Skin* skin = nullptr;  // null: the standard look
    int id = 0;
    bool rightToLeft = false;
};

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND handle() const { return hwnd_; }
    const std::string& name() const { return name_; }

    std::string text() const;
    void setText(std::string_view text);

    // Fired by a click; set by the layout's OnClick binding.
    std::function<void(Control& sender)> onClick;

    bool takesFocus() const { return takesFocus_; }

    // Shows `hint` when the pointer rests on this control.
    void setHint(const std::string& hint);

    // What this control's children paint their background with: by default the
    // container's, for containers their own face.
    virtual COLORREF faceColor() const;
    virtual HBRUSH faceBrush() const;

protected:
    Control(const ControlContext& context, std::string name, const Site& site);

    const ControlContext& context() const { return context_; }
    void setName(std::string name) { name_ = std::move(name); }
    // The cursor shown over this control; null keeps its window class's.
    void setCursor(HCURSOR cursor) { cursor_ = cursor; }

    // Creates a stock control where the site says and hooks it.
    void createStock(const char* windowClass, DWORD style, DWORD exStyle, const Site& site, std::string_view text);
    // Creates a window of one of the toolkit's own classes.
    void createOwn(const char* windowClass, DWORD style, DWORD exStyle, const Bounds& bounds, HWND parent,
                   std::string_view text);
    // Destroys the window now; a class whose members the window's messages use calls
    // this first thing in its destructor, so the window goes before they do.
    void destroyWindow();

    // Return a result to stop default processing.
    virtual std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // A notification this control sent to its parent, passed back to it.
    virtual std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp);

    // For containers: hands child notifications back to the child.
    std::optional<LRESULT> reflectToChild(UINT msg, WPARAM wp, LPARAM lp) const;

    void fireClick();
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);

    bool takesFocus_ = false;
    bool rightToLeft_ = false;
    // The skin this control is drawn with, or null for the standard look.
    const Skin* skin_ = nullptr;

private:
    static LRESULT CALLBACK stockProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ownClassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void attach(HWND hwnd);
    void detach();

    const ControlContext& context_;
    Control* parent_;
    std::string name_;
    HWND hwnd_ = nullptr;
    WNDPROC stockDefault_ = nullptr;  // a stock control's own procedure
    HCURSOR cursor_ = nullptr;
    bool hinted_ = false;
};

class Panel : public Control {
public:
    Panel(const ControlContext& context, const PanelArgs& args, const Site& site);
    ~Panel() override;
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
    GroupBox(const ControlContext& context, const GroupBoxArgs& args, const Site& site);

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paintSkinned(HDC dc);
    HFONT font_;
};

class Edit : public Control {
public:
    Edit(const ControlContext& context, const EditArgs& args, const Site& site);
    void selectAll();

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paintBorder();
};

class Button : public Control {
public:
    Button(const ControlContext& context, const ButtonArgs& args, const Site& site);
    void click() { fireClick(); }
    // Enter presses the default button, Esc the cancel button.
    bool isDefault() const { return isDefault_; }
    bool isCancel() const { return isCancel_; }

protected:
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void drawSkinned(const DRAWITEMSTRUCT& item) const;
    bool isDefault_, isCancel_;
    bool hot_ = false;
};

// The designer's bitmap button; shown here without a picture, as a push button.
class BitBtn : public Button {
public:
    using Button::Button;
};

class Label : public Control {
public:
    Label(const ControlContext& context, const LabelArgs& args, const Site& site);

protected:
    std::optional<LRESULT> reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The bounds that fit the caption, for a label that sizes itself.
    static Bounds fitted(const Site& site, const LabelArgs& args);
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
    Image(const ControlContext& context, const ImageArgs& args, const Site& site, std::unique_ptr<Picture> picture);
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
