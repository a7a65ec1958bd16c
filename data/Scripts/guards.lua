-- The armed guards beside the road: gun turrets that the level places
-- (records "guard" of the track, whose model binds this script). Each guard
-- is armed when the level wakes it ("add_object"): those on the lower
-- straight with a machine gun, the others with rockets. The player's script
-- tells of the player's car when the race starts ("race_start") and when it
-- ends ("race_end"). While the race runs (from "go" until the player's
-- result is out), a guard strikes the player's car within strikeRange,
-- fires at it within fireRange and rests otherwise; the engine's enemy
-- controller plays the guard's animations and launches its shots and blows.

local handlers = {}
local guards = {}
local car = nil
local null = StringToPointer("0")
local strikeRange = 7
local fireRange = 40

-- Health, muzzle height, reach and damage of a blow, in the engine's units
-- (a car's life is 100000 points).
local health, muzzle, reach, blow = 30000, 2.2, 7, 2500

local function Forget(handle)
    for k, guard in ipairs(guards) do
        if guard == handle then
            table.remove(guards, k)
            return
        end
    end
end

function handlers.add_object(text)
    local guard = StringToPointer(text or "0")
    local x, y = GetPosition(guard)
    if guard == null or not x then
        return
    end
    Forget(guard)
    table.insert(guards, guard)
    if y < 0 then
        ArmEnemy(guard, "gunner" .. #guards, "lgun", health, muzzle, reach, blow)
    else
        ArmEnemy(guard, "rocketeer" .. #guards, "rocket", health, muzzle, reach, blow)
    end
end

function handlers.delete_object(text)
    Forget(StringToPointer(text or "0"))
end

function handlers.race_start(text)
    local handle = StringToPointer(text or "0")
    if handle ~= null then
        car = handle
    end
end

function handlers.race_end()
    car = nil
end

local function Distance(guard)
    local x, y = GetPosition(guard)
    local cx, cy = GetPosition(car)
    if not x or not cx then
        return nil
    end
    return math.sqrt((cx - x) * (cx - x) + (cy - y) * (cy - y))
end

local function Watch(guard)
    local distance = car and Distance(guard)
    if not distance or IsLevelStarted() ~= true or IsDamageMsg() then
        EnemyAttack(guard, "rest")
    elseif distance < strikeRange then
        EnemyAttack(guard, "melee")
    elseif distance < fireRange then
        EnemyAttack(guard, "fire")
    else
        EnemyAttack(guard, "rest")
    end
end

while true do
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
    -- The level's tree does not draw the guards' animated models: the
    -- script submits them each frame, which also runs their animations.
    for _, guard in ipairs(guards) do
        Watch(guard)
        DrawDynamicObject(guard)
    end
    Update()
end
