// The attach list: every part of the game program that the script machine calls into or that
// brings script commands attaches here, once, at start-up, before any script runs.
//
// A subsystem attaches by filling its neighbour table (engine/neighbours.h) and installing its
// command lists (engine/command_list.h). Adding a subsystem adds one line to
// attach_subsystems() and, when it brings commands, one line to command_lists.h (for the
// assembler); nothing else outside its own folder.
#pragma once

// Attaches every subsystem. Thread: the main thread, before the game starts; calling it again
// changes nothing.
void attach_subsystems();
