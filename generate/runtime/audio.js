var	audioPlayer = null;

function play_audio(frame,url,uimode,ratio,playcount)
{
	if (frame != null && frame != '')
	{
		play_video(frame,url,uimode,ratio,playcount);
		return;
	}
	if (audioPlayer == null)
	{
		var	container = document.getElementById('page-audio-container');
		if (container == null)
			return;
		if (media_native())
		{
			audioPlayer = media_element(container,'audio','page-audio-player','visibility:hidden;display:none');
		}
		else
		{
			container.innerHTML = "<object id='page-audio-player' classid='clsid:6BF52A52-394A-11d3-B153-00C04F79FAA6' style='visibility:hidden;display:none'></object>";
			audioPlayer = document.getElementById('page-audio-player');
		}
	}
	audioPlayer.url = url;
	audioPlayer.repeat = true;
	media_play(audioPlayer);
	media_repeat(audioPlayer,playcount);
}

function clear_audio()
{
	if (audioPlayer == null)
		return;
	audioPlayer.url = '';
	media_stop(audioPlayer);
}
