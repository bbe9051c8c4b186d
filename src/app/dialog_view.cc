#include "app/dialog_view.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "dialogs/layout_rules.h"

namespace tarvo::app {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString IdName(int id) {
  return QString::number(id);
}

// The application's style, with the dotted focus rectangle of the station PCs' dialogs on the
// push button that has the focus: styles that mark focus only after a Tab, or not at all, would
// leave it unmarked, and Enter presses the focused button.
class FocusFrameStyle : public QProxyStyle {
 public:
  explicit FocusFrameStyle(QObject* owner) : QProxyStyle(QApplication::style()->name()) {
    setParent(owner);
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !(option->state & State_HasFocus)) return;
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (!button) return;
    const QRect frame =
        subElementRect(SE_PushButtonFocusRect, button, widget).adjusted(1, 1, -1, -1);
    painter->save();
    QPen pen(option->palette.color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    painter->restore();
  }
};

}  // namespace

DialogView::DialogView(DialogModel& model, QWidget* parent, Observer observer)
    : QDialog(parent), model_(model), observer_(std::move(observer)) {
  setObjectName(QString("dialog:%1").arg(model_.id()));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(true);
  model_.Load();
  setWindowTitle(Q(model_.caption()));
  Build();
  FromModel();
  FocusFirst();
}

void DialogView::Build() {
  auto* outer = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  outer->addLayout(columns);
  std::map<int, QFormLayout*> forms;
  auto new_form = [] {
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
  };
  auto form_of = [&](int column) {
    auto& form = forms[column];
    if (!form) {
      form = new_form();
      columns->addLayout(form, 1);
    }
    return form;
  };
  // The group box the current control stands in, if any: controls in a row with the same
  // group share one box, whose own form holds them.
  QGroupBox* group_box = nullptr;
  QFormLayout* group_form = nullptr;
  const std::string* group_name = nullptr;
  auto form_for = [&](const Control& c) {
    if (c.group.empty()) {
      group_box = nullptr;
      return form_of(c.column);
    }
    if (!group_box || *group_name != c.group) {
      group_box = new QGroupBox(Q(c.group), this);
      group_box->setObjectName("group:" + Q(c.group));
      group_form = new_form();
      group_box->setLayout(group_form);
      form_of(c.column)->addRow(group_box);
      group_name = &c.group;
    }
    return group_form;
  };
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* focus_style = new FocusFrameStyle(this);

  for (const Control& c : model_.controls()) {
    Slot slot;
    const QString name = IdName(c.id);
    if (c.kind == ControlKind::kButton) group_box = nullptr;
    switch (c.kind) {
      case ControlKind::kText:
      case ControlKind::kInteger:
      case ControlKind::kDecimal: {
        slot.edit = new QLineEdit(this);
        slot.edit->setObjectName(name);
        slot.edit->setMinimumWidth(c.column == 0 && forms.size() <= 1 ? 160 : 110);
        QWidget* field = slot.edit;
        if (!c.unit.empty()) {
          // The unit right of its box, on the box's row.
          field = new QWidget(this);
          auto* row = new QHBoxLayout(field);
          row->setContentsMargins(0, 0, 0, 0);
          row->addWidget(slot.edit, 1);
          slot.unit = new QLabel(Q(c.unit), field);
          slot.unit->setObjectName("unit:" + name);
          slot.unit->setMinimumWidth(slot.unit->fontMetrics().horizontalAdvance("ng") + 2);
          row->addWidget(slot.unit);
        }
        QFormLayout* form = form_for(c);
        if (c.label.empty()) {
          form->addRow(field);
        } else {
          slot.label = new QLabel(Q(c.label), this);
          slot.label->setBuddy(slot.edit);
          form->addRow(slot.label, field);
        }
        break;
      }
      case ControlKind::kList: {
        slot.list = new QComboBox(this);
        slot.list->setObjectName(name);
        slot.label = new QLabel(Q(c.label), this);
        slot.label->setBuddy(slot.list);
        form_for(c)->addRow(slot.label, slot.list);
        const int id = c.id;
        connect(slot.list, &QComboBox::currentIndexChanged, this, [this, id] { Changed(id); });
        break;
      }
      case ControlKind::kRadio: {
        slot.group = new QGroupBox(Q(c.label), this);
        slot.group->setObjectName(QString("group:%1").arg(c.id));
        slot.radios = new QButtonGroup(slot.group);
        slot.radios->setExclusive(true);
        QBoxLayout* box = RadiosInRow(c) ? static_cast<QBoxLayout*>(new QHBoxLayout(slot.group))
                                         : new QVBoxLayout(slot.group);
        for (size_t i = 0; i < c.options.size(); ++i) {
          auto* radio = new QRadioButton(Q(c.options[i]), slot.group);
          const int option_id = i < c.option_ids.size() ? c.option_ids[i] : c.id + int(i);
          radio->setObjectName(IdName(option_id));
          slot.radios->addButton(radio, int(i));
          box->addWidget(radio);
        }
        if (RadiosInRow(c)) box->addStretch(1);
        form_for(c)->addRow(slot.group);
        const int id = c.id;
        connect(slot.radios, &QButtonGroup::idToggled, this, [this, id](int, bool on) {
          if (on) Changed(id);
        });
        break;
      }
      case ControlKind::kLabel: {
        slot.text = new QLabel(Q(c.label), this);
        slot.text->setObjectName(name);
        slot.text->setWordWrap(true);
        slot.text->setAlignment(Qt::AlignCenter);
        form_for(c)->addRow(slot.text);
        break;
      }
      case ControlKind::kButton: {
        slot.button = new QPushButton(Q(c.label), this);
        slot.button->setObjectName(name);
        // As in the station PCs' dialogs: the focused push button is the default while it has
        // the focus and Enter presses it; the model's default button is the default otherwise.
        slot.button->setAutoDefault(true);
        slot.button->setDefault(c.id == model_.default_button());
        slot.button->setStyle(focus_style);
        const int id = c.id;
        connect(slot.button, &QPushButton::clicked, this, [this, id] { Press(id); });
        buttons->addWidget(slot.button);
        break;
      }
    }
    slots_.push_back(slot);
  }
  if (forms.empty()) form_of(0);
  outer->addLayout(buttons);
  setSizeGripEnabled(false);
}

void DialogView::FocusEdit(QLineEdit* edit, bool select_all) {
  edit->setFocus(Qt::OtherFocusReason);
  if (select_all) {
    edit->selectAll();
  } else {
    edit->deselect();
    edit->setCursorPosition(int(edit->text().size()));
  }
}

void DialogView::FocusFirst() {
  const auto& controls = model_.controls();
  const size_t first = FirstFocus(controls);
  if (first >= controls.size() || first >= slots_.size()) return;
  const Slot& slot = slots_[first];
  if (slot.edit) return FocusEdit(slot.edit, true);
  if (slot.radios) {
    QAbstractButton* on = slot.radios->checkedButton();
    if (!on && !slot.radios->buttons().isEmpty()) on = slot.radios->buttons().first();
    if (on) on->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (QWidget* w = slot.list ? static_cast<QWidget*>(slot.list) : slot.button) {
    w->setFocus(Qt::OtherFocusReason);
  }
}

QWidget* DialogView::widget(int id) const {
  const auto& controls = model_.controls();
  for (size_t i = 0; i < slots_.size() && i < controls.size(); ++i) {
    const Slot& slot = slots_[i];
    if (controls[i].id == id) {
      if (slot.edit) return slot.edit;
      if (slot.list) return slot.list;
      if (slot.group) return slot.group;
      if (slot.text) return slot.text;
      return slot.button;
    }
  }
  return findChild<QWidget*>(IdName(id));
}

void DialogView::ToModel() {
  auto& controls = model_.controls();
  for (size_t i = 0; i < slots_.size() && i < controls.size(); ++i) {
    const Slot& slot = slots_[i];
    Control* c = &controls[i];
    if (slot.edit) c->text = slot.edit->text().toStdString();
    if (slot.list) c->selected = slot.list->currentIndex();
    if (slot.radios) c->selected = slot.radios->checkedId();
  }
}

void DialogView::FromModel() {
  syncing_ = true;
  const auto& controls = model_.controls();
  for (size_t i = 0; i < slots_.size() && i < controls.size(); ++i) {
    const Slot& slot = slots_[i];
    const Control* c = &controls[i];
    if (slot.edit) {
      const QString text = Q(c->text);
      if (slot.edit->text() != text) slot.edit->setText(text);
      slot.edit->setReadOnly(c->read_only);
      slot.edit->setEnabled(c->enabled);
    }
    if (slot.list) {
      QStringList options;
      for (const auto& o : c->options) options << Q(o);
      QStringList now;
      for (int i = 0; i < slot.list->count(); ++i) now << slot.list->itemText(i);
      if (now != options) {
        slot.list->clear();
        slot.list->addItems(options);
      }
      slot.list->setCurrentIndex(c->selected);
      slot.list->setEnabled(c->enabled);
    }
    if (slot.radios) {
      const auto buttons = slot.radios->buttons();
      if (c->selected >= 0 && c->selected < buttons.size()) {
        slot.radios->button(c->selected)->setChecked(true);
      } else if (QAbstractButton* on = slot.radios->checkedButton()) {
        slot.radios->setExclusive(false);
        on->setChecked(false);
        slot.radios->setExclusive(true);
      }
      for (QAbstractButton* b : buttons) b->setEnabled(c->enabled);
      slot.group->setEnabled(c->enabled);
    }
    if (slot.text) {
      slot.text->setText(Q(c->label));
      slot.text->setEnabled(c->enabled);
    }
    if (slot.button) {
      slot.button->setText(Q(c->label));
      slot.button->setEnabled(c->enabled);
    }
    if (slot.label) slot.label->setEnabled(c->enabled);
    if (slot.unit) slot.unit->setEnabled(c->enabled);
  }
  shown_ = model_.controls();
  syncing_ = false;
}

void DialogView::Changed(int id) {
  if (syncing_) return;
  ToModel();
  model_.Changed(id);
  // The model may refill a list or enable other controls; what the operator changed stays as a
  // change for the transcript.
  std::vector<Control> before = shown_;
  FromModel();
  shown_ = std::move(before);
  if (const int focus = model_.focus_after_change()) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget(focus))) FocusEdit(edit, true);
  }
}

void DialogView::Press(int button_id) {
  ToModel();
  if (observer_.pressed) observer_.pressed(button_id, shown_);
  PressOutcome outcome = model_.Press(button_id);
  if (outcome.closed) {
    result_ = *outcome.closed;
    FromModel();
    QDialog::done(static_cast<int>(result_));
    return;
  }
  FromModel();
  if (!outcome.refusal) return;
  const Refusal& refusal = *outcome.refusal;
  if (observer_.refused) observer_.refused(refusal);
  ShowMessageBox(Message{refusal.text, refusal.caption, Icon::kError, Buttons::kOk}, this);
  // The box had the focus; the dialog takes it back, and the named box gets it.
  activateWindow();
  if (auto* edit = qobject_cast<QLineEdit*>(widget(refusal.focus_id))) {
    FocusEdit(edit, refusal.select_all);
  }
}

void DialogView::reject() {
  Press(DialogModel::kCancelId);
}

DialogResult DialogView::Run() {
  exec();
  return result_;
}

}  // namespace tarvo::app
