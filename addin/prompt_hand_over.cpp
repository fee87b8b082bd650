#include "addin/prompt_hand_over.h"

#include <new>

#include "addin/this_module.h"
#include "channel/pending_call.h"

namespace {

constexpr char kWindowClassName[] = "BrannockPromptHandOver";

/// Registers the window class unless another add-in of this module did;
/// true when it is registered afterwards.
bool registerWindowClass(WNDPROC procedure) noexcept {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = thisModule();
    windowClass.lpszClassName = kWindowClassName;
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::unique_ptr<PromptHandOver> PromptHandOver::install() noexcept {
    if (!registerWindowClass(&PromptHandOver::windowProcedure)) return nullptr;
    win::UniqueWindow window(::CreateWindowExA(0, kWindowClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                               thisModule(), nullptr));
    win::UniqueHandle callEnded(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!window || !callEnded) return nullptr;
    std::unique_ptr<PromptHandOver> handOver(new (std::nothrow)
                                                 PromptHandOver(std::move(window), std::move(callEnded)));
    if (handOver) setPromptHandOver(handOver->window_.get(), kWakeMessage, handOver->callEnded_.get());
    return handOver;
}

PromptHandOver::PromptHandOver(win::UniqueWindow window, win::UniqueHandle callEnded) noexcept
    : window_(std::move(window)), callEnded_(std::move(callEnded)) {}

PromptHandOver::~PromptHandOver() {
    setPromptHandOver(nullptr, 0, nullptr);
    window_.reset();
    // Fails while another add-in's window still uses the class; it goes
    // with the module then.
    ::UnregisterClassA(kWindowClassName, thisModule());
}

LRESULT CALLBACK PromptHandOver::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kWakeMessage) {
        runPendingCall();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
