// The document's automation object and the class factory that makes it for a COM client.
#pragma once

#include "base/com_ptr.h"

#include <windows.h>

namespace orvane::app {

// What the class factory and the document ask of the application that serves them.
class DocumentHost {
public:
  // Creates the document's frame and view (once); false when the frame fails.
  virtual bool OpenDocument() = 0;
  // The client let go of the document.
  virtual void DocumentReleased() = 0;

protected:
  ~DocumentHost() = default;
};

// The factory of the document class; it and its documents call the host, which outlives them.
ComPtr<IClassFactory> MakeDocumentFactory(DocumentHost& host);

}  // namespace orvane::app
