#pragma once

#include <windows.h>

#include <string>

#include "win/ansi.h"
#include "win/com_error.h"

/// Reads one text property of a Palm Desktop object:
/// `(object.*getter)(args..., &bstr)`, converted to the ANSI code page.
template <typename Target, typename Object, typename... Args, typename... Given>
std::string getText(Target& object, HRESULT (STDMETHODCALLTYPE Object::*getter)(Args...), Given... args) {
    win::UniqueBstr text;
    win::check((object.*getter)(args..., text.put()));
    return win::fromBstr(text.get());
}

/// Writes one text property of a Palm Desktop object:
/// `(object.*setter)(args..., bstr)`, converted from the ANSI code page.
template <typename Target, typename Object, typename... Args, typename... Given>
void putText(Target& object, HRESULT (STDMETHODCALLTYPE Object::*setter)(Args...), const std::string& text,
             Given... args) {
    win::check((object.*setter)(args..., win::makeBstr(text).get()));
}
