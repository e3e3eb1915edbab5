#pragma once
// A small window with one control of every kind, and a log of the events
// it raises, for the forms model's tests.
#include <string>
#include <vector>

#include "ui/Form.h"

namespace uitest {

using tov::ui::ControlKind;
using tov::ui::ControlSpec;

class SampleForm : public tov::ui::Form {
 public:
  SampleForm()
      : Form("frmSample"),
        lblName(add({ControlKind::Label, "lblTag", 0, u"#Name", {120, 120, 1000, 210}})),
        txtName(add({ControlKind::TextBox, "txtName", -1, u"", {1200, 120, 3000, 330}})),
        lblOther(add({ControlKind::Label, "lblTag", 5, u"Other", {120, 540, 1000, 210}})),
        txtOther(add({ControlKind::TextBox, "txtOther", -1, u"", {1200, 540, 3000, 330}})),
        fraBox(add({ControlKind::Frame, "fraBox", -1, u"Box", {120, 960, 4200, 1200}})),
        lstItems(add({ControlKind::ListBox, "lstItems", -1, u"", {120, 240, 1800, 800}, &fraBox})),
        cboKind(add({ControlKind::ComboBox, "cboKind", -1, u"", {2000, 240, 2000, 330}, &fraBox})),
        cmdOk(add({ControlKind::CommandButton, "cmdOk", -1, u"OK", {1800, 2300, 1200, 400}})),
        cmdCancel(add({ControlKind::CommandButton, "cmdCancel", -1, u"Cancel", {3100, 2300, 1200, 400}})) {
    setCaption(u"Sample");
    setClientSize({4500, 2900});
    setDefaultButton(&cmdOk);
    setCancelButton(&cmdCancel);
  }

  // Logs every event named here, in the order raised; KeyDown events log
  // their key code too.
  void logEvents(std::vector<std::string>& log, const std::vector<std::string>& events) {
    for (const std::string& event : events) {
      on(event, [&log, event](tov::ui::EventArgs& args) {
        std::string entry = event;
        if (args.index >= 0) entry += "(" + std::to_string(args.index) + ")";
        if (args.keyCode != 0) entry += ":" + std::to_string(args.keyCode);
        log.push_back(entry);
      });
    }
  }

  tov::ui::Control& lblName;
  tov::ui::Control& txtName;
  tov::ui::Control& lblOther;
  tov::ui::Control& txtOther;
  tov::ui::Control& fraBox;
  tov::ui::Control& lstItems;
  tov::ui::Control& cboKind;
  tov::ui::Control& cmdOk;
  tov::ui::Control& cmdCancel;
};

}  // namespace uitest
