// Run before the program starts under Node: the program sees the process's environment (the
// time zone, the settings folder, the locale) and nothing else. A name given undefined stays
// unset, where emscripten would make up a value of its own (HOME, LANG, USER and others).
Module["preRun"] = (Module["preRun"] || []).concat(function () {
  var madeUp = ["USER", "LOGNAME", "PATH", "PWD", "HOME", "LANG", "_"];
  for (var i = 0; i < madeUp.length; i++) ENV[madeUp[i]] = undefined;
  for (var name in process.env) ENV[name] = process.env[name];
});
