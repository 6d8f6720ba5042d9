#pragma once

class App;
class TopWind;

// Gives the program-wide values their first state and labels the windows;
// run once by the start window's start-up, before anything uses them.
void GlobalInitial(App& app, TopWind& top);
