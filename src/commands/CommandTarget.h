#pragma once

#include <QString>
#include <QStringList>

#include "pipeline/ResultFiles.h"

namespace pictora {

class CodingWorker;
class UserDialogs;

// What the Open and Save commands need of the form that runs them.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual UserDialogs& Dialogs() = 0;
    // Starts loading a PNG as the source image on the worker; false when it
    // is refused (told at once). A file that cannot be read is told when the
    // worker is done with it.
    virtual bool LoadImage(const QString& path) = 0;
    // Starts writing the current result as a file of `kind` on the worker;
    // false when it is refused (told at once). A failure is told when the
    // worker is done.
    virtual bool SaveResult(ResultFileKind kind, const QString& path) = 0;
    virtual CodingWorker& Worker() = 0;
    // Whether an image is loaded, and whether a result has been made (by a
    // step, a decoded file or applied codebooks), as of the worker's last
    // outcome taken in.
    virtual bool HasImage() const = 0;
    virtual bool HasResult() const = 0;
    // While an image loads or a file is saved, the text that refuses another
    // command; empty when neither runs.
    virtual QString FileTaskWait() const = 0;
    // Puts both image tab bars back on their first tab.
    virtual void ResetImageTabs() = 0;
    // The files the source image and the current result were read from,
    // which a save must not replace.
    virtual QStringList InputPaths() const = 0;
};

}  // namespace pictora
