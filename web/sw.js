"use strict";
// Keeps the app's files so that after the first visit it opens and computes
// with no network. The cache is named by the build's content: a new build
// is a new worker, which on the next visit takes the new files and drops
// the old ones.
const CACHE = "solvara-BUILD_HASH";
const FILES = FILE_LIST;

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith("solvara-") && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The app's own files from the cache, whatever the network does; anything
// else (there is nothing else) from the network.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
