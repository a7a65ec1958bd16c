-- The race effects test's override of the demo: a short countdown, then the
-- player's car drives ahead with Up held. Once it is under way a repair crate
-- is laid where the car will be four frames later, at the car's height (the
-- crate's point-sized box must come within a third of the car's). The fire
-- key comes from the input replay. After 600 frames of the race the test
-- prints how many bonuses are left and ends the game.
Demo.countdownSeconds = 0.1
local frames = 0
local crate = nil
local lastX, lastY = 0, 0

function DemoTest.OnRaceStarted()
    SendCommandByName("jeep", "key_action", "up,1")
end

local function LayCrate(x, y, z)
    crate = LoadRenderObject("bonus_remont.rdf", 20)
    SetPTransformation(crate, x + 4 * (x - lastX), y + 4 * (y - lastY), z, 0, 0, 0)
    AddBonus(crate, 0)
end

function DemoTest.OnRaceFrame()
    frames = frames + 1
    local x, y, z = GetPlayerPosition()
    if frames == 30 then
        LayCrate(x, y, z)
    end
    lastX, lastY = x, y
    if crate and GetBonusesCount() > 0 then
        DrawDynamicObject(crate)
    end
    if frames == 600 then
        print(string.format("Race test: %d bonuses left", GetBonusesCount()))
        KillAllTasks()
    end
end
