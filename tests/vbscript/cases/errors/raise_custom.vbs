WScript.Echo "start"
  Err.Raise 1234, "Plugin", "Something broke"
