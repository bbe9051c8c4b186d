#include "pages/about_view.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::pages {
namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

AboutView::AboutView(const station::AboutBox& box, const QIcon& icon, QWidget* parent)
    : QDialog(parent) {
  setObjectName("dialog:100");
  setWindowTitle(Q(station::AboutBox::kCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(true);

  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(16);
  auto* picture = new QLabel(this);
  picture->setObjectName("icon");
  picture->setPixmap(icon.pixmap(32, 32));
  grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  for (std::string_view fixed : {station::AboutBox::kFtVersion, station::AboutBox::kNotice}) {
    auto* label = new QLabel(Q(fixed), this);
    texts->addWidget(label);
  }
  texts->addSpacing(8);
  const auto lines = box.Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    auto* label = new QLabel(Q(lines[i]), this);
    label->setObjectName(QString::number(kLineIds[i]));
    label->setTextFormat(Qt::PlainText);
    texts->addWidget(label);
  }
  grid->addLayout(texts, 0, 1, 2, 1);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  grid->addWidget(ok, 0, 2, Qt::AlignTop);
  grid->setColumnStretch(1, 1);
}

}  // namespace tarvo::pages
