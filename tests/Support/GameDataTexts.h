#pragma once

// Game-data text fixtures shared by the reader tests and the truncation
// test.

inline const char* const kStrings = "greeting~Hello\n"
                                    "greeting~Second\n"
                                    "quoted~\"x ~ y\"\n"
                                    "doubled~\"say \"\"hi\"\"\"\n"
                                    "bare\n"
                                    "link~see http://example\n"
                                    "// a comment line\n"
                                    "  spaced  ~  padded text  \r\n";

// Line numbers matter: the problems name them.
inline const char* const kItems = "stray;1\n"                                            // 1
                                  "[weapons]\n"                                          // 2
                                  "lgun;100;1;0;0;220;0;300;8;0;lgun_desc;1\n"           // 3
                                  "ssrlauncher;300;1;0.5;2;70;0;12;1;0;\"ssr;desc\";3\n" // 4
                                  "lgun;999;1;0;0;220;0;300;8;0;other;1\n"               // 5
                                  "mgun;x;1;0;0;220;0;300;8;0;mgun_desc;1\n"             // 6
                                  "[mines]\n"                                            // 7
                                  "spike;40;2;1.5;2.5;3;0.5;0.25;4;spike_desc;2\n"       // 8
                                  "[superweapons]\n"                                     // 9
                                  "nuke;30;nuke_desc;5\n"                                // 10
                                  "[bumpers]\n"                                          // 11
                                  "ram;20;1.5;ram_desc;1\n"                              // 12
                                  "[equipment]\n"                                        // 13
                                  "radar;15;0.5;radar_desc;2\n"                          // 14
                                  "[armor]\n"                                            // 15
                                  "plate;50;2;plate_desc;1\n"                            // 16
                                  "[engines]\n"                                          // 17
                                  "v8;80;1;2;3;0.25;0.5;v8_desc;1\n"                     // 18
                                  "short;1;2\n"                                          // 19
                                  "[presets]\n"                                          // 20
                                  "lgun;;;;;;;plate;nuke;3;\"\"\n"                       // 21
                                  "lgun;ssrlauncher;;radar;;ram;v8;plate;;0;spike\n"     // 22
                                  "ghost;;;;;;;;;0;\"\"\n"                               // 23
                                  "[colours]\n"                                          // 24
                                  "red;1\n"                                              // 25
                                  "[armor]\n"                                            // 26
                                  ";5;1;d;1\n";                                          // 27

inline const char* const kMissionText = "12.5 3 0 1 a,10;b,30 7 c,5\n"
                                        "4 1 1 1 \"x,1;y,2\" 0 y,1\n"
                                        "sources\n"
                                        "src_a grp1 1 2.5 x,50;y,50\n"
                                        "src_b grp1 0 1 z,100\n";

inline const char* const kPlayerText =
    "lgun\nssrlauncher\nnone\nspike\nplate\nram\nv8\nnuke\n2\nradar\nnone\n";

inline const char* const kCoefficientsText = "1\n2\n3\n4\n";
