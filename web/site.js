"use strict";
// From a web host, the page keeps its files for use with no network.
if ("serviceWorker" in navigator) navigator.serviceWorker.register("sw.js");
