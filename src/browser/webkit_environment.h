// Environment WebKitGTK reads when it starts. Call before the first
// browser is made, ideally first thing in main() before any thread runs.
#pragma once

void PrepareWebKitEnvironment();
