// placeholder: the action library has no sources yet
