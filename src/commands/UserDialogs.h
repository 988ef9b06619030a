#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "pipeline/MethodSettings.h"

class QWidget;

namespace pictora {

// The modal questions the form asks the user: messages and file choices.
// The form holds them behind this interface so that tests can answer them
// without a modal loop.
class UserDialogs {
public:
    enum class Icon { None, Information, Warning };

    virtual ~UserDialogs() = default;
    // A message box titled with the application's title, with an OK button.
    virtual void ShowMessage(const QString& text, Icon icon) = 0;
    // The files chosen in an open dialog with `filter` (empty when cancelled).
    virtual QStringList AskOpenPaths(const QString& filter) = 0;
    // The name typed in a save dialog with `filter` (empty when cancelled).
    virtual QString AskSavePath(const QString& filter) = 0;
    // Which codebook (1 R/Y, 2 G/Cb, 3 B/Cr) of each file feeds the channel
    // of its row; the files are shown in the rows R/Y, G/Cb, B/Cr.
    virtual std::array<int, 3> AskCodebookOrder(const std::array<QString, 3>& files) = 0;
    // The method's options, starting from `settings`: true with the new
    // values in `settings` when confirmed, false (unchanged) when cancelled.
    virtual bool AskMethodSettings(MethodSettings& settings) = 0;
};

// The application's title, the caption of every message box.
extern const char* const kApplicationTitle;

// Real dialogs, parented to a window.
class WidgetDialogs : public UserDialogs {
public:
    explicit WidgetDialogs(QWidget* parent) : parent_(parent) {}
    void ShowMessage(const QString& text, Icon icon) override;
    QStringList AskOpenPaths(const QString& filter) override;
    QString AskSavePath(const QString& filter) override;
    std::array<int, 3> AskCodebookOrder(const std::array<QString, 3>& files) override;
    bool AskMethodSettings(MethodSettings& settings) override;

private:
    QWidget* parent_;
};

}  // namespace pictora
