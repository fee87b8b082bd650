#pragma once

#include "sections/palm_desktop.h"
#include "sections/section_handler.h"
#include "win/com_ptr.h"

#include <memory>

/// Palm Desktop's application object for this process: empty until the
/// add-in's worker thread stores it, before the slave loop starts; read
/// afterwards only on Palm Desktop's user-interface thread.
win::ComPtr<PalmApplication>& sharedApplication();

/// Makes the handler of `section` (a `Section` value) from the collection
/// that `application` hands out for it. Answers null, "no handler", for a
/// value outside the four sections, for a section whose handler is not
/// part of this module, and when the application is empty or fails to hand
/// out the collection: no failure of Palm Desktop leaves this function.
/// When the collection lacks the section's interface the handler is still
/// made, without a collection, and fails every operation that needs one.
std::unique_ptr<SectionHandler> createSectionHandler(const win::ComPtr<PalmApplication>& application,
                                                     int section);
