#pragma once

#include "Platform/FileSystem.h"

#include <string>

// The --trace file: one line per command sent to a script, in the order
// sent, "FRAME TARGET COMMAND "PARAMS"", with " dropped" after a command
// that no script queued; then, when the run ends during a race, one line per
// car "FRAME position NAME X Y Z" (the player's "player", the computer cars
// "car1", "car2"... in the level's order) with the coordinates as hexadecimal
// floating-point numbers, exact to the bit. Each line is written as it
// comes, so a long run keeps none of them in memory.
class CPCommandTrace {
public:
    explicit CPCommandTrace(std::string fileName);

    // Creates (or truncates) the file; false (logged) when it cannot.
    bool Open();
    // Starts hearing the script manager's commands.
    void Listen();
    void AddCommand(const std::string& target, const std::string& command, const std::string& params,
                    bool queued);
    // The positions of the player's car, of the computer cars and of a time
    // trial's ghost, when a level is loaded.
    void AddCarPositions();
    // Closes the file; false (logged) when a line could not be written.
    bool Close();

private:
    void AddPosition(const std::string& name, float x, float y, float z);
    void WriteLine(const std::string& line);

    std::string fileName;
    PlatFile file;
};
