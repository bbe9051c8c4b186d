#include "app/wait_window_view.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

#include "base/wait_windows.h"

namespace tarvo::app {

WaitWindowView::WaitWindowView(const WaitWindow& window, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), window_(window) {
  setObjectName(QString("wait:%1").arg(window.id));
  setWindowTitle(QString::fromStdString(window.caption));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(QString::fromStdString(window.text), this);
  text_->setObjectName("text");
  text_->setAlignment(Qt::AlignCenter);
  text_->setMinimumWidth(260);
  countdown_ = new QLabel(this);
  countdown_->setObjectName("countdown");
  countdown_->setAlignment(Qt::AlignCenter);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("progress");
  bar_->setRange(0, 1000);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  layout->addWidget(text_);
  layout->addWidget(countdown_);
  layout->addWidget(bar_);
  countdown_->hide();
  bar_->hide();
  ticker_.setInterval(500);
  ticker_.setTimerType(Qt::CoarseTimer);
  connect(&ticker_, &QTimer::timeout, this, &WaitWindowView::Tick);
}

void WaitWindowView::StartWait(int64_t ms) {
  ++started_;
  wait_ms_ = std::max<int64_t>(ms, 0);
  since_.start();
  countdown_->show();
  bar_->show();
  bar_->setTextVisible(false);
  Tick();
  ticker_.start();
}

void WaitWindowView::EndWait() {
  ticker_.stop();
  if (window_.waits > 0 && started_ > 0) {
    // Between the waits of one span the count and the bar stay where this wait left them.
    ShowElapsed(wait_ms_);
    return;
  }
  wait_ms_ = 0;
  countdown_->hide();
  bar_->hide();
}

void WaitWindowView::ShowElapsed(int64_t elapsed_ms) {
  const WaitShown shown = ShowWait(window_, started_, wait_ms_, elapsed_ms);
  countdown_->setText(QString("%1 s").arg(SecondsLeft(shown.left_ms)));
  bar_->setValue(shown.permille);
}

void WaitWindowView::Tick() {
  ShowElapsed(since_.isValid() ? since_.elapsed() : 0);
  if (since_.elapsed() >= wait_ms_) ticker_.stop();
}

void WaitWindowView::Progress(uint64_t sent, uint64_t total) {
  bar_->show();
  bar_->setTextVisible(true);
  bar_->setFormat("%p %");
  bar_->setValue(total ? int(std::min<uint64_t>(sent, total) * 1000 / total) : 1000);
}

QString WaitWindowView::countdown_text() const {
  return countdown_->isVisibleTo(this) ? countdown_->text() : QString();
}

int WaitWindowView::progress_permille() const {
  return bar_->value();
}

}  // namespace tarvo::app
