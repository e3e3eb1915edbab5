#pragma once
// One control and the Qt widget that shows it: creates the widget, brings it
// up to date when the model changes, and turns the user's input on it into
// the model's user actions. The widget never decides anything itself.
#include "ui/Control.h"

class QEvent;
class QWidget;

namespace tov::ui {

class QtControlBinding {
 public:
  // The widget is made a child of parent, which owns it.
  QtControlBinding(Control& control, QWidget* parent);
  QtControlBinding(const QtControlBinding&) = delete;
  QtControlBinding& operator=(const QtControlBinding&) = delete;

  QWidget* widget() const { return widget_; }
  Control* control() const { return control_; }

  void push(ControlProperty property);
  void pushAll();
  // Drag and drop events on the widget: files dropped where the model takes
  // them go to it. True when the event was handled here.
  bool dragEvent(QEvent* event);
  // The model's control is going away: pass nothing on any more.
  void detach() { control_ = nullptr; }

 private:
  QWidget* createWidget(QWidget* parent) const;
  void connectInput();
  void pushCaption();
  void pushText();
  void pushSelection();
  void pushItems();
  void pushListIndex();
  void pushPosition();
  void pushCompletion();
  void textEdited();
  void rowPicked(int row);

  Control* control_;
  QWidget* widget_;
};

}  // namespace tov::ui
