#pragma once

#include <QString>
#include <QStringList>

namespace pictora {

class ImageCompressor;
class CodingWorker;
class UserDialogs;

// What the Open and Save commands need of the form that runs them.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual UserDialogs& Dialogs() = 0;
    // Loads a PNG as the source image; tells the user itself when it cannot.
    virtual bool LoadImage(const QString& path) = 0;
    virtual CodingWorker& Worker() = 0;
    virtual const ImageCompressor& Compressor() const = 0;
    // Puts both image tab bars back on their first tab.
    virtual void ResetImageTabs() = 0;
    // The files the source image and the current result were read from,
    // which a save must not replace.
    virtual QStringList InputPaths() const = 0;
};

}  // namespace pictora
