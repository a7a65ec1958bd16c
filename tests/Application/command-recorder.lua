-- Put before a script of the game by the race effects test, after a line
-- naming the script in RecordedScript: the script's command loop then
-- prints every distinct command it takes, with its parameters, the first
-- time it takes it.
do
    local heard = {}
    local take = GetCurrentCommand
    function GetCurrentCommand(object)
        local command = take(object)
        local line = string.format("%s heard %s(%s)", RecordedScript, tostring(command),
            table.concat({GetCurrentParams(object)}, ","))
        if not heard[line] then
            heard[line] = true
            print(line)
        end
        return command
    end
end
