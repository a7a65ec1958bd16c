#include "Platform/Scripted/DialogScript.h"

#include "Platform/DialogModel.h"

namespace {

class RecordingWebBrowser final : public PlatWebBrowser {
public:
    explicit RecordingWebBrowser(std::vector<std::string>& calls) : calls(calls) {}

    HRESULT SetBounds(LONG left, LONG top, LONG width, LONG height) override {
        calls.push_back("bounds " + std::to_string(left) + " " + std::to_string(top) + " " +
                        std::to_string(width) + " " + std::to_string(height));
        return S_OK;
    }
    HRESULT Navigate(const std::string& url) override {
        calls.push_back("navigate " + url);
        return S_OK;
    }
    void Close() override { calls.push_back("close"); }

private:
    std::vector<std::string>& calls;
};

class ScriptedDialogBackend final : public PlatDialogBackend {
public:
    PlatDialogScript* script = nullptr;
    std::size_t next = 0;

    bool Create(PlatDialog&) override { return true; }
    void Destroy(PlatDialog&) override {}
    void ControlChanged(PlatControl&) override {}
    void DialogChanged(PlatDialog&) override {}
    void Ended(PlatDialog&) override {}

    void RunModal(PlatDialog& dialog) override {
        while (!dialog.ended) {
            if (next < script->actions.size())
                Play(dialog, script->actions[next++]);
            else
                CloseAtEnd(dialog);
        }
    }

    std::unique_ptr<PlatWebBrowser> CreateWebBrowser(PlatControl& host) override {
        script->webBrowserCalls.push_back("create " + std::to_string(host.item.id));
        if (script->refuseWebBrowsers)
            return nullptr;
        return std::make_unique<RecordingWebBrowser>(script->webBrowserCalls);
    }

private:
    void CloseAtEnd(PlatDialog& dialog) {
        dialog.Send(WM_CLOSE, 0, 0);
        if (dialog.ended)
            return;
        script->problems.push_back("a dialog stayed open after WM_CLOSE");
        dialog.ended = true;
        dialog.result = -1;
    }

    void Play(PlatDialog& dialog, const PlatDialogAction& action) {
        using Kind = PlatDialogAction::Kind;
        if (action.kind == Kind::Close)
            return static_cast<void>(dialog.Send(WM_CLOSE, 0, 0));
        if (action.kind == Kind::Inspect)
            return action.inspect(&dialog);
        PlatControl* control = dialog.Find(action.id);
        if (!control) {
            script->problems.push_back("no control " + std::to_string(action.id));
            return;
        }
        if (action.kind == Kind::Click)
            control->Click();
        else if (action.kind == Kind::Select)
            control->Select(action.index);
        else
            control->Type(action.text);
    }
};

ScriptedDialogBackend g_Backend;

} // namespace

void PlatSetDialogScript(PlatDialogScript* script) {
    g_Backend.script = script;
    g_Backend.next = 0;
}

PlatDialogBackend* PlatGetScriptedDialogBackend() {
    return g_Backend.script ? &g_Backend : nullptr;
}

PlatDialogAction PlatClick(int id) {
    return PlatDialogAction{PlatDialogAction::Kind::Click, id, 0, {}, {}};
}

PlatDialogAction PlatSelect(int id, int index) {
    return PlatDialogAction{PlatDialogAction::Kind::Select, id, index, {}, {}};
}

PlatDialogAction PlatType(int id, std::string text) {
    return PlatDialogAction{PlatDialogAction::Kind::Type, id, 0, std::move(text), {}};
}

PlatDialogAction PlatCloseDialog() {
    return PlatDialogAction{PlatDialogAction::Kind::Close, 0, 0, {}, {}};
}

PlatDialogAction PlatInspect(std::function<void(HWND dialog)> inspect) {
    return PlatDialogAction{PlatDialogAction::Kind::Inspect, 0, 0, {}, std::move(inspect)};
}
