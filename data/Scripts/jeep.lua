-- The player's car: the script bound to the buggy's body. It turns the
-- bound keys into the car's controls, nitro, brake and weapons, aims the
-- weapon each frame at a computer car close ahead or else straight ahead,
-- takes the damage the car is dealt and tells the main script when the race
-- is over for the player.

local car = nil
local held = {}
local handlers = {}
local null = StringToPointer("0")

-- The life of a new car in the engine's points, and what is left of it;
-- the demo's difficulty takes the damage dealt unscaled.
local fullLife = 100000
local life = fullLife

-- The computer cars' scripts tell of their running cars, in the order they
-- did. The list lives only as long as the player's car: a race's cars are
-- deleted with it, so no handle outlives the race.
local rivals = {}
local rivalScripts = {"rival1", "rival2", "rival3"}

-- The vehicle the part belongs to: the script hears of the body, the car is
-- its parent.
local function OwnerOf(part)
    local parent = GetParentObject(part)
    if parent == null then
        return part
    end
    return parent
end

-- Up and Down give the throttle, Left and Right the steering; opposite keys
-- held together cancel out.
local function Drive()
    local throttle = (held.up and 1 or 0) - (held.down and 1 or 0)
    local steering = (held.right and 1 or 0) - (held.left and 1 or 0)
    SetCarParams(car, throttle, steering)
end

-- A weapon key steps once when pressed; the mouse wheel sends only the
-- release, which then steps too.
local function StepWeapon(action, pressed, step)
    if pressed then
        held[action] = true
        step(car)
    elseif held[action] then
        held[action] = false
    else
        step(car)
    end
end

local actions = {
    up = Drive,
    down = Drive,
    left = Drive,
    right = Drive,
}

function actions.nitro(pressed)
    PlayerNitro(pressed and 1 or 0)
end

function actions.fire(pressed)
    SetShot(car, pressed)
end

function actions.brake(pressed)
    SetBrake(car, pressed)
end

function actions.next_weapon(pressed)
    StepWeapon("next_weapon", pressed, SetNextWeapon)
end

function actions.prev_weapon(pressed)
    StepWeapon("prev_weapon", pressed, SetPrevWeapon)
end

-- A stuck car is put back on the road, facing the race, when the key is
-- pressed; the engine refuses while the car is locked or has just been
-- put back.
function actions.respawn(pressed)
    if pressed then
        Spawn(car)
    end
end

-- The weapon of the car's slot (the first at the start) is made ready: a
-- step forward and one back end on a fitted slot again, and stepping is how
-- a script makes a slot's weapon active.
function handlers.add_object(handle)
    car = OwnerOf(StringToPointer(handle))
    held = {}
    life = fullLife
    rivals = {}
    SetNextWeapon(car)
    SetPrevWeapon(car)
    for _, name in ipairs(rivalScripts) do
        SendCommandByName(name, "announce", PointerToString(car))
    end
    SendCommandByName("guards", "race_start", PointerToString(car))
end

function handlers.delete_object()
    car = nil
    rivals = {}
    SendCommandByName("guards", "race_end", "")
end

local function Forget(handle)
    for k, rival in ipairs(rivals) do
        if rival == handle then
            table.remove(rivals, k)
            return
        end
    end
end

-- A handle that names no live object reads as the null handle.
function handlers.rival_car(text)
    local handle = StringToPointer(text or "0")
    if car and handle ~= null then
        Forget(handle)
        table.insert(rivals, handle)
    end
end

function handlers.rival_gone(text)
    Forget(StringToPointer(text or "0"))
end

function handlers.key_action(action, state)
    local act = actions[action]
    if car and act then
        local pressed = state == "1"
        if act == Drive then
            held[action] = pressed
        end
        act(pressed)
    end
end

-- An amount of 0 or less hurts nothing; a wrecked car ends the race. The
-- display hears the life left in whole percent, rounded up so that only a
-- wreck shows 0.
function handlers.damage(amount)
    local hurt = tonumber(amount) or 0
    if not car or hurt <= 0 then
        return
    end
    life = math.max(life - hurt, 0)
    if not DamagePlayer(car, hurt) then
        life = 0
        SendCommandByName("main", "player_wrecked", "")
    end
    SendCommandByName("gamemenu", "hud_life", tostring(math.ceil(life * 100 / fullLife)))
end

function handlers.game_over()
    LockPlayer(true)
    SendCommandByName("main", "race_over", "")
end

-- A computer car is a target within aimRange ahead and at most aimCone off
-- the car's heading.
local aimRange = 60
local aimCone = math.cos(math.rad(12))

-- The nearest target, the first heard of among equals, with its position;
-- (fx, fy) is the car's heading on the ground, of length 1.
local function NearestTarget(x, y, fx, fy)
    local best, bestDistance, bx, by, bz = null, aimRange
    for _, rival in ipairs(rivals) do
        local rx, ry, rz = GetPosition(rival)
        if rx then
            local dx, dy = rx - x, ry - y
            local distance = math.sqrt(dx * dx + dy * dy)
            if distance > 0 and distance < bestDistance and dx * fx + dy * fy >= distance * aimCone then
                best, bestDistance, bx, by, bz = rival, distance, rx, ry, rz
            end
        end
    end
    return best, bx, by, bz
end

-- The weapon aims at the target, whose height the engine takes from its
-- body, or else 30 units ahead of the car.
local function Aim()
    local x, y, z = GetPosition(car)
    local fx, fy = GetPlayerDirection()
    if not x or not fx then
        return
    end
    local flat = math.sqrt(fx * fx + fy * fy)
    local target, tx, ty, tz = null
    if flat > 0 then
        target, tx, ty, tz = NearestTarget(x, y, fx / flat, fy / flat)
    end
    if target ~= null then
        SetWeaponPos(tx, ty, tz, target)
    else
        SetWeaponPos(x + 30 * fx, y + 30 * fy, z, null)
    end
end

while true do
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
    -- The held keys drive each frame: a key pressed while the car was still
    -- locked (the countdown) takes effect once it is let go.
    if car then
        Drive()
        Aim()
    end
    Update()
end
