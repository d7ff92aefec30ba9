#pragma once
// The plain widgets screens are built from: labels, text fields, buttons, images and the
// bar of buttons. Every widget has a property name (its data-id on the page) and describes
// itself for the page; the screen that holds it dispatches the page's events to it.
#include <functional>
#include <string>
#include <vector>

#include "toolkit/ViewNode.h"

class Widget {
  public:
    explicit Widget(std::string id) : id_(std::move(id)) {}
    virtual ~Widget() = default;
    const std::string& id() const { return id_; }
    virtual const char* kind() const = 0;
    // The widget's description for the page: kind, id, hidden, caption, then its own fields.
    ViewNode describe() const;

    bool hidden = false;
    std::string caption;  // a caption drawn beside the widget (rows of forms)

  protected:
    virtual void describeInto(ViewNode& node) const = 0;

  private:
    std::string id_;
};

class Label : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "label"; }
    std::string text;
    std::string color;  // "" default, or a CSS colour name such as "green", "red"
    // A tap on a label row runs this operation (e.g. opening a list); empty: none.
    std::string action;

  protected:
    void describeInto(ViewNode& node) const override;
};

class TextField : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "field"; }
    std::string text;
    std::string placeholder;
    std::string returnKey = "done";  // "next", "done"
    bool clearButton = false;
    std::string keyboard = "text";  // "text", "decimal", "email", "phone"
    bool multiline = false;
    // The typing filter: given the range (code points) and its replacement, may refuse.
    std::function<bool(TextField&, long location, long length, const std::string& replacement)>
        shouldChangeCharacters;
    std::function<void(TextField&)> onReturn;

    // Applies a change when the filter accepts it. False when refused, out of range or
    // empty. In a one-line field line breaks are left out and end editing (as `return`).
    bool applyChange(long location, long length, const std::string& replacement);
    void shake() { ++shakeCount; }
    void resignFirstResponder() { editing = false; }
    int shakeCount = 0;  // the page shakes when this grows
    bool editing = false;

  protected:
    void describeInto(ViewNode& node) const override;
};

class Button : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "button"; }
    std::string title;
    std::string image;   // image name, e.g. "bookmark_white_delete"
    std::string action;  // operation name run on tap
    std::string style;   // "", "primary", "round", "delete", "bar"
  protected:
    void describeInto(ViewNode& node) const override;
};

class ImageView : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "image"; }
    std::string image;

  protected:
    void describeInto(ViewNode& node) const override;
};

// A bar of buttons (the four-button bar of the main screens).
class ButtonBar : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "bar"; }
    struct Item {
        std::string id;
        std::string title;
        std::string action;
        std::string image;
    };
    std::vector<Item> items;
    int current = -1;  // the item that marks the screen shown

  protected:
    void describeInto(ViewNode& node) const override;
};
