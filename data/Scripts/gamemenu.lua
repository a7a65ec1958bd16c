-- The race display's script. The engine asks it to fill the display when a
-- level starts ("init_game_interface") and after shots and damage
-- ("update_game_interface"); each frame it updates the clock, the lap texts
-- and the nitro lamps and draws the page.

local page = nil
local shown = false
local handlers = {}

function handlers.add_object(handle)
    page = StringToPointer(handle)
    shown = true
end

function handlers.delete_object()
    shown = false
end

function handlers.init_game_interface()
    InitGameInterface(page)
    UpdateGameInterface(page)
end

function handlers.update_game_interface()
    UpdateGameInterface(page)
end

local function ShowLaps()
    SetText(page, "lap", string.format("Lap %d/%d", GetCurrentRound(), GetRoundsNumber()))
    SetText(page, "laptime", string.format("%02d:%02d:%02d", GetTime()))
    local lit = math.floor(GetNitro() * 10 + 0.5)
    for i = 1, 10 do
        SetWindowVisible(page, "nitro" .. i, i <= lit)
    end
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
        UpdateTime(page)
        ShowLaps()
        UpdateInterface(page)
    end
    Update()
end
