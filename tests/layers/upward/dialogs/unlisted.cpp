// Compiled by no target: its folder does not list it.
