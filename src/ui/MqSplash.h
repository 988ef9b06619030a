#pragma once

#include <QWidget>

namespace pictora {

// The window shown over the main window for three seconds at start-up.
class MqSplash : public QWidget {
    Q_OBJECT

public:
    explicit MqSplash(QWidget* owner = nullptr);
};

}  // namespace pictora
