#pragma once

namespace pictora {

// The document of the single-document window. It carries no data: the image,
// the codebooks and the results live in the form; opening and saving are the
// form's commands.
class CPictoraDoc {
public:
    // A new document is always ready.
    bool OnNewDocument() { return true; }
};

}  // namespace pictora
