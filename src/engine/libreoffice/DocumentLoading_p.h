#pragma once

// Loading a user's document into the private office: hidden, read-only (no lock file, never
// written), no macros, no dialogs; refusing what is not a word-processor document.

#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <com/sun/star/lang/XComponent.hpp>

namespace quillet::lo {

// Throws EngineError: FileNotFound, OpenFailed (unreadable, empty, corrupt, password-protected),
// NotWordProcessorDocument, or the session's errors (EngineDied, EngineTimeout).
css::uno::Reference<css::lang::XComponent> loadWordProcessorDocument(LibreOfficeSession& session,
                                                                     const QString& path);

// Closes a loaded document that will not be handed out; quietly, and only on the office that
// loaded it while it still runs.
void discardDocument(LibreOfficeSession& session,
                     const css::uno::Reference<css::lang::XComponent>& component);

// Whether a filter that loaded a Writer document reads a word-processor format (plain text does
// not: any bytes load as text).
bool isWordProcessorFilter(const QString& filterName);

} // namespace quillet::lo
