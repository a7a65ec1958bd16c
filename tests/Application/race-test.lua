-- The race test's override of the demo: a short countdown, then the test
-- prints whether the level and its race clock run, the player's script hears
-- Up held down for the whole race; after 600 frames the test prints how far
-- the car went and ends the game.
Demo.countdownSeconds = 0.1
local frames = 0
local startX, startY = 0, 0

function DemoTest.OnRaceStarted()
    print(string.format("Race test: the race started: level %s, race clock %s", tostring(IsLevelStarted()),
                        tostring(IsRaceStarted())))
    SendCommandByName("jeep", "key_action", "up,1")
    startX, startY = GetPlayerPosition()
end

function DemoTest.OnRaceFrame()
    frames = frames + 1
    if frames == 600 then
        local x, y = GetPlayerPosition()
        print(string.format("Race test: the car moved %.2f", math.sqrt((x - startX) ^ 2 + (y - startY) ^ 2)))
        KillAllTasks()
    end
end
