-- The race messages' script: the texts the engine announces (lap, place,
-- finish), the countdown of the main script, bonus texts and the arrows
-- back to the track. A message stays two seconds, the countdown's last
-- step ("GO!", a text of its own) one second.

local page = nil
local shown = false
local messageTime = 0
local countdownTime = 0
local handlers = {}

local function Message(text)
    SetText(page, "message", text)
    messageTime = 2
end

function handlers.add_object(handle)
    page = StringToPointer(handle)
    shown = true
    SetText(page, "message", "")
    SetText(page, "countdown", "")
    SetText(page, "go", "")
    SetText(page, "bonus", "")
end

function handlers.delete_object()
    shown = false
end

function handlers.show_message(key)
    SetTextString(page, "message", key)
    messageTime = 2
end

function handlers.countdown(step)
    if step == "go" then
        SetText(page, "countdown", "")
        SetText(page, "go", "GO!")
        countdownTime = 1
    else
        SetText(page, "countdown", step)
    end
end

-- A text whose time runs out this frame is cleared; returns the time left.
local function Expire(name, time)
    if time > 0 then
        time = time - GetDeltaTime()
        if time <= 0 then
            SetText(page, name, "")
        end
    end
    return time
end

function handlers.place(text)
    Message(text)
    SendCommandByName("main", "place", text)
end

function handlers.checkpoint(text)
    SetText(page, "bonus", text)
end

function handlers.bonus_points(text)
    SetText(page, "bonus", text)
end

function handlers.update_arrows(left, right)
    SetWindowVisible(page, "arrow_left", left == "1")
    SetWindowVisible(page, "arrow_right", right == "1")
    UpdateInterfaceBuffers(page)
end

while true do
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
    if shown then
        messageTime = Expire("message", messageTime)
        countdownTime = Expire("go", countdownTime)
        UpdateInterface(page)
    end
    Update()
end
