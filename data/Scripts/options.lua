-- The options page's script: the sound and music volumes in steps of a
-- tenth, and the key bindings. A binding button asks the input for the next
-- key released; that key ("key_assign") replaces the binding, and the new
-- bindings are written to Actions.cfg and read back at once.

local page = nil
local shown = false
local assigning = nil
local labels = {}
local handlers = {}

local function Percent(volume)
    return string.format("%d%%", math.floor(volume * 100 + 0.5))
end

local function ShowVolumes()
    SetText(page, "snd_value", Percent(GetSoundVolume()))
    SetText(page, "mus_value", Percent(GetMusicVolume()))
end

local function ShowBindings()
    local count, keys, names = GetActionNames()
    labels = names
    for i = 1, 11 do
        local text = ""
        if i <= count then
            text = names[i] .. ": " .. keys[i]
        end
        if i == assigning then
            text = names[i] .. ": ..."
        end
        SetText(page, "key" .. i, text)
    end
end

function handlers.add_object(handle)
    page = StringToPointer(handle)
    shown = true
    assigning = nil
    DeselectCurrentButton(page)
    IMenuRight()
    ShowVolumes()
    ShowBindings()
end

function handlers.delete_object()
    shown = false
end

function handlers.menu_up()
    IMenuRight()
end

function handlers.menu_down()
    IMenuLeft()
end

local buttons = {
    snd_minus = function() SetSoundVolume(GetSoundVolume() - 0.1) end,
    snd_plus = function() SetSoundVolume(GetSoundVolume() + 0.1) end,
    mus_minus = function() SetMusicVolume(GetMusicVolume() - 0.1) end,
    mus_plus = function() SetMusicVolume(GetMusicVolume() + 0.1) end,
    back = function() SendCommandByName("main", "open_menu", "") end,
}

function handlers.button(name)
    if not shown then
        return
    end
    local binding = tonumber(string.match(name, "^bind(%d+)$") or "")
    if binding and labels[binding] then
        assigning = binding
        SetAssignKey()
        ShowBindings()
    elseif buttons[name] then
        buttons[name]()
        ShowVolumes()
    end
end

function handlers.key_assign(keyName, numeric)
    if not (shown and assigning) then
        return
    end
    SetAction(labels[assigning], keyName, numeric == "true")
    UpdateActions()
    assigning = nil
    ShowBindings()
end

while true do
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
    if shown then
        UpdateInterface(page)
    end
    Update()
end
