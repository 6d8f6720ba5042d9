#pragma once

// Runs pending events of this thread; when there are none, sleeps until one
// comes (received bytes, a timer) or maxMs have passed.
void WaitForEvents(int maxMs);
