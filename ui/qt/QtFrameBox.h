#pragma once
// A frame: a group box whose caption sits on its top border line, the
// border running through the middle of the caption, and whose outer
// rectangle is exactly the control's rectangle. Qt's own styles differ
// (some draw the title above the border), while the layouts put the
// frame's caption and the controls inside it where such a frame has them.
#include <QGroupBox>

namespace tov::ui {

class QtFrameBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

  // Where the caption is drawn and where the border runs, in the frame's
  // own coordinates.
  QRect captionRect() const;
  QRect borderRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tov::ui
