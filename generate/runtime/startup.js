var	ie = true;
var	page_loaded = false;
var	sbwidth = 20;

if (navigator.appName.indexOf('Microsoft') == -1)
{
	ie = false;
	sbwidth = 16;
}

function initialize()
{
	window.onclose = exit;
	var	image = document.getElementById('page_image');
	if (image != null)
	{
		image.style.width = _imageWidth;
		image.style.height = _imageHeight;
	}
	pagesize();
	page_loaded = true;
//@initialize
}

function exit()
{
	if (audioPlayer != null)
		media_stop(audioPlayer);
}
