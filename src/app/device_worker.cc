#include "app/device_worker.h"

#include <QMetaObject>
#include <exception>

#include "base/operator.h"

namespace tarvo::app {

DeviceWorker::DeviceWorker(QObject* parent) : QObject(parent), anchor_(new QObject) {
  thread_.setObjectName("device");
  anchor_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, anchor_, &QObject::deleteLater);
  thread_.start();
}

DeviceWorker::~DeviceWorker() {
  thread_.quit();
  thread_.wait();
}

void DeviceWorker::Join() {
  thread_.quit();
  thread_.wait();
}

bool DeviceWorker::Start(std::function<void()> operation) {
  if (busy_ || !thread_.isRunning()) return false;
  busy_ = true;
  emit busyChanged(true);
  QMetaObject::invokeMethod(
      anchor_,
      [this, operation = std::move(operation)] {
        QString failure;
        try {
          operation();
        } catch (const OperatorAborted& e) {
          failure = QString::fromStdString(e.what());
        } catch (const std::exception& e) {
          failure = QString::fromStdString(e.what());
        } catch (...) {
          failure = "unknown exception";
        }
        QMetaObject::invokeMethod(
            this,
            [this, failure] {
              busy_ = false;
              if (!failure.isEmpty()) emit failed(failure);
              emit busyChanged(false);
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
  return true;
}

}  // namespace tarvo::app
