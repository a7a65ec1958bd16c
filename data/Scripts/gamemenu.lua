-- The race display's script. The engine asks it to fill the display when a
-- level starts ("init_game_interface") and after shots and damage
-- ("update_game_interface"); the main script sends the player's place
-- ("hud_place") and the player's car its life in percent ("hud_life"). Each
-- frame it updates the clock, the lap texts and the nitro lamps and draws
-- the page. Cars side by side swap places back and forth as they pass the
-- pieces of the racing line, so a new place shows once it has held for
-- half a second.

local page = nil
local shown = false
local life = "100"
local placeHold = 0.5
local shownPlace = ""
local heardPlace = ""
local placeHeldFor = 0
local handlers = {}

-- The engine writes the car's life in its own points (a new car has
-- 100000); the display shows the percentage the car's script reports.
local function ShowEquipment()
    UpdateGameInterface(page)
    SetText(page, "life", life .. "%")
end

function handlers.add_object(handle)
    page = StringToPointer(handle)
    shown = true
end

function handlers.delete_object()
    shown = false
end

local function ShowPlace(text)
    shownPlace = text
    SetText(page, "place", text == "" and "" or "Place " .. text)
end

function handlers.init_game_interface()
    life = "100"
    heardPlace = ""
    ShowPlace("")
    InitGameInterface(page)
    ShowEquipment()
end

function handlers.update_game_interface()
    ShowEquipment()
end

-- The first place of a race shows at once.
function handlers.hud_place(text)
    heardPlace = text
    placeHeldFor = 0
    if shownPlace == "" then
        ShowPlace(text)
    end
end

local function SettlePlace()
    placeHeldFor = placeHeldFor + GetDeltaTime()
    if heardPlace ~= shownPlace and placeHeldFor >= placeHold then
        ShowPlace(heardPlace)
    end
end

function handlers.hud_life(percent)
    life = percent
    ShowEquipment()
end

local function ShowLaps()
    SetText(page, "lap", string.format("Lap %d/%d", GetCurrentRound(), GetRoundsNumber()))
    SetText(page, "laptime", string.format("Lap time %02d:%02d:%02d", GetTime()))
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
        SettlePlace()
        ShowLaps()
        UpdateInterface(page)
    end
    Update()
end
