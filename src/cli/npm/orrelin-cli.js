#!/usr/bin/env node
// orrelin-cli compiled to WebAssembly: the same arguments, messages, output bytes and exit
// status as the native program, its files read and written through Node's file system.
"use strict";
require("../lib/orrelin-cli.js");
